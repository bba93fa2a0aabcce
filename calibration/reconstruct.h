#pragma once

// World points from several calibrated cameras, and the epipolar geometry between two cameras.
//
// A viewing ray is a point C (the projection centre, world coordinates) and a direction d (world
// coordinates, not normalised): the world points that camera sees at one image position are
// C + t * d. Image positions are frame-buffer pixels; world positions are in the unit of the
// model file. Points are single precision (as objects store them); all geometry is computed in
// double precision. The document gathers the cameras and image points and calls these; the
// calibrated flag is the caller's to test.

#include <span>

#include "calibration/camera.h"

// One calibrated camera and the image position of a point in it.
struct CameraView {
  const CameraParameters* camera;
  const CalibrationResult* result;
  float x;
  float y;
};

// The viewing ray of image point (x, y). False when the rotation cannot be inverted (then c and
// d are not written).
bool CameraRay(const CameraParameters& camera, const CalibrationResult& result, float x, float y,
               double c[3], double d[3]);

// The point whose sum over the views of |d|^2 times its squared distance from the view's ray is
// least (so views far from their image centre weigh more). False, out untouched, when the
// normal matrix is singular (fewer than two independent rays) or a result is not a number.
bool ReconstructPoint3D(std::span<const CameraView> views, float out[3]);

// The midpoint of the common perpendicular of the viewing rays of view a and view b (their
// intersection when they meet). False, out untouched, when the rays are parallel or a result is
// not a number.
bool ReconstructFromTwoViews(const CameraView& a, const CameraView& b, float out[3]);

// The epipolar line in the target camera of a point seen by the source view: the image of the
// source ray in the target's undistorted sensor plane (mm), as its point nearest the image
// centre and a unit direction (the way the image moves as the point moves away from the source
// camera). Computed homogeneously in double, so it also exists when the source centre lies in
// the target's focal plane (cameras side by side). False, outputs untouched, when the ray passes
// through the target's projection centre (its image is a point).
bool EpipolarLineOfView(const CameraView& source, const CalibrationResult& target, float point[2],
                        float direction[2]);

// Moves image point p of a camera onto the line (px, py) + t (ux, uy) of its undistorted sensor
// plane (mm), (ux, uy) a unit vector: distortion is removed, the foot of the perpendicular taken
// and distortion put back.
void ProjectImagePointOntoLine(const CameraParameters& camera, const CalibrationResult& result,
                               float p[2], float px, float py, float ux, float uy);
