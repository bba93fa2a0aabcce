#pragma once

// The camera model: a pinhole camera with one coefficient of radial lens distortion and a
// horizontal scale factor between sensor elements and frame-buffer pixels.
//
// Coordinate systems:
//   world         xw, yw, zw  unit of the model file (mm in normal use); a flat model lies in
//                             zw = 0
//   camera        xc, yc, zc  origin at the projection centre, zc along the optical axis
//   undistorted   Xu, Yu      ideal pinhole image on the sensor, mm, origin at the image centre
//   distorted     Xd, Yd      true position on the sensor after radial distortion, mm
//   frame buffer  Xf, Yf      pixels of the stored frame, x to the right, y downwards
//
//   camera     = R * world + T                     (R = r1..r9 by rows)
//   undistorted = f * (xc, yc) / zc
//   undistorted = distorted * (1 + kappa1 * r^2),   r^2 = Xd^2 + Yd^2
//   Xf = Xd * sx / dpx + Cx,   Yf = Yd / dpy + Cy
//
// So kappa1 > 0 draws the image towards the centre (barrel distortion) and kappa1 < 0 pushes it
// outward (pincushion distortion).
//
// The transforms are free functions without state; none of them changes the records.

// The camera's constants. dpx and dpy are derived: dpx = dx * Ncx / Nfx, dpy = dy.
struct CameraParameters {
  double Ncx = 0;  // sensor elements in a line
  double Nfx = 0;  // pixels in a line of the frame
  double dx = 0;   // distance between sensor element centres in x, mm
  double dy = 0;   // the same in y, mm
  double dpx = 0;  // effective pixel width, mm
  double dpy = 0;  // effective pixel height, mm
  double Cx = 0;   // image centre x, pixels
  double Cy = 0;   // image centre y, pixels
  double sx = 0;   // horizontal scale factor ("Grabbing uncertainty factor")
};

// What a calibration finds. The two reserved values are carried and copied but always 0.
struct CalibrationResult {
  double f = 0;       // effective focal length, mm
  double kappa1 = 0;  // radial distortion, 1/mm^2
  double reserved1 = 0;
  double reserved2 = 0;
  double Tx = 0, Ty = 0, Tz = 0;  // translation world -> camera
  double Rx = 0, Ry = 0, Rz = 0;  // rotation angles, radians
  double r1 = 0, r2 = 0, r3 = 0;  // rotation matrix by rows
  double r4 = 0, r5 = 0, r6 = 0;
  double r7 = 0, r8 = 0, r9 = 0;
};

// Sets r1..r9 from the angles Rx, Ry, Rz.
void RotationFromAngles(CalibrationResult& c);

// Real cube root: 0 gives 0, negative x gives -cbrt(-x).
double CubeRoot(double x);

// Adds radial distortion: solves Rd + kappa1 * Rd^3 = Ru for the distorted radius. A point at
// the centre, or kappa1 = 0, passes unchanged. For kappa1 < 0 (pincushion) and a radius beyond
// the largest one such a lens can show (2 / (3 * sqrt(-3 * kappa1))) no distorted radius exists:
// the point is then put at that largest radius, on its own side of the centre, and the function
// returns false. Returns true otherwise.
bool UndistortedToDistortedSensor(double Xu, double Yu, const CalibrationResult& c, double& Xd,
                                  double& Yd);

// Removes radial distortion (closed form).
void DistortedToUndistortedSensor(double Xd, double Yd, const CalibrationResult& c, double& Xu,
                                  double& Yu);

// Rotation and translation of a world point into camera coordinates.
void WorldToCameraCoord(double xw, double yw, double zw, const CalibrationResult& c, double& xc,
                        double& yc, double& zc);

// Rotation only: turns a world direction into the camera frame.
void RotateWorldToCamera(double x, double y, double z, const CalibrationResult& c, double& xc,
                         double& yc, double& zc);

// Frame-buffer pixels <-> distorted sensor mm.
void ImageToDistortedSensor(double Xf, double Yf, const CameraParameters& p, double& Xd,
                            double& Yd);
void DistortedSensorToImage(double Xd, double Yd, const CameraParameters& p, double& Xf,
                            double& Yf);

// The frame-buffer position of a world point. A point in the plane of the projection centre
// (zc = 0) gives non-finite values. False when the point lies beyond what a pincushion lens can
// show (its image is then put at the edge of that range, see UndistortedToDistortedSensor).
bool WorldToImageCoord(double xw, double yw, double zw, const CameraParameters& p,
                       const CalibrationResult& c, double& Xf, double& Yf);

// The world point on the plane of height zw seen at frame-buffer position (Xf, Yf). A viewing
// ray parallel to that plane gives non-finite values.
void ImageToWorldCoord(double Xf, double Yf, double zw, const CameraParameters& p,
                       const CalibrationResult& c, double& xw, double& yw);
