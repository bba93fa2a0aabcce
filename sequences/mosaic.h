#pragma once

// Colour and line reconstruction of raw camera frames: the stored samples of one frame become
// the planes a frame file holds (grey: one plane of width x height; colour: red, green and blue
// planes of width x height one after the other, each top line first).
//
// ".vraw" frames hold half the lines of the picture. Grey ones are brought to full height by
// line doubling: stored line s becomes picture rows 2s and 2s + 1. Colour ones carry a mosaic in
// which every odd column is green and the even columns alternate red and blue every two columns,
// with the phase changing from one stored line to the next (red at columns 0, 4, 8 ... on even
// stored lines, at 2, 6, 10 ... on odd ones); they are rebuilt on the diamond lattice of those
// samples.
//
// ".vr2" frames hold a Bayer mosaic of full height in the phase red-green / green-blue: red at
// even rows and even columns, blue at odd rows and odd columns, green where row + column is odd.
// It is rebuilt by bilinear interpolation: a missing colour is the mean of the two nearest
// samples of that colour in its row or column (pair mean) or of the four nearest diagonal or
// direct neighbours (quad mean, taken as the mean of two pair means, within one level of the
// exact mean). At the picture's edges the missing neighbour is replaced by the one on the other
// side, so an even surface stays even up to the border.

#include <cstdint>
#include <vector>

// Stored grey ".vraw" frame (width x height / 2 bytes) to one plane of width x height.
void VrawGreyPlane(const std::uint8_t* stored, int width, int height, std::uint8_t* plane);

// Stored colour ".vraw" frame (width x height / 2 bytes) to the red, green and blue planes
// (3 x width x height bytes). Pixels the lattice does not reach near the border stay 0.
void VrawColourPlanes(const std::uint8_t* stored, int width, int height, std::uint8_t* planes);

// The reconstruction of ".vr2" frames of one width.
class BayerDemosaic {
 public:
  explicit BayerDemosaic(int width);
  // Picture row y of the Bayer mosaic (width x height bytes) as width pixels of blue, green and
  // red (3 x width bytes), as a colour bitmap stores them.
  void Row(const std::uint8_t* mosaic, int height, int y, std::uint8_t* bgr);

 private:
  int width_;
  // 0xFF at the columns that hold the row's own colour on red rows and on blue rows, else 0.
  std::vector<std::uint8_t> redSites_, blueSites_;
  std::vector<std::uint8_t> columnMeans_;  // of the rows above and below the row in work
};
