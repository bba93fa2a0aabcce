#pragma once

// Image filters of the displayed frame, on 8-bit planes. A filter is chosen by its id (the
// radio button of the filter dialog, seqid::kFilterOriginal .. kFilterMop24); unknown ids and
// "Original" leave the plane as it is.
//
// All filters normalise their result so that the largest value becomes 255 (value * 256 /
// largest, capped at 255). The linear filters and the rank filters keep the outer line of pixels;
// the edge filters (except Sobel) and the texture filters also set the border, to 0 where no value
// was computed. Planes too small for a filter's neighbourhood are left as they are, except the
// texture filters, which set every pixel of a plane smaller than 5 x 5 to 0.

#include <cstdint>

// Runs the filter on one plane of width x height pixels whose rows lie stride bytes apart
// (stride >= width); bytes between width and stride are never read or written.
void FilterPlane(int filterId, std::uint8_t* plane, int width, int height, int stride);

// Runs the filter on one plane of width x height bytes or, with threePlanes, on each of three
// such planes that follow each other.
void ApplyImageFilter(int filterId, std::uint8_t* planes, int width, int height, bool threePlanes);
