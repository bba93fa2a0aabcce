#pragma once

// The camera model of one image sequence. Every image sequence is one camera: FrameSequence
// derives from Calibration, which derives from Projection, so each open sequence carries its
// camera parameters, its calibration points, the four files behind them and the result of the
// last calibration. While a camera is not calibrated (or linear sizing is switched on) image and
// world coordinates are converted by a plain scale: one pixel is 10 * length scale mm high and
// aspect times that wide.
//
// Image positions are frame-buffer pixels (x to the right, y downwards); world positions are in
// the unit of the model file (mm in normal use). The camera transforms are in calibration/camera.h.

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "base/filename.h"
#include "base/filesnapshot.h"
#include "calibration/camera.h"

class Calibration;
class CDIB;
class ColorPalette;
class Document;
class ResObjectSequence;
class ResObjectSequences;

// A coordinate that holds this value is missing; conversions pass it through unchanged.
inline constexpr float kMissingCoordinate = std::numeric_limits<float>::max();

// A calibration holds at most this many model points.
inline constexpr int kMaxCalibrationPoints = 500;

// One model point: whether its image position was measured (and it takes part in a
// calibration), its world position and its image position.
struct CalibrationPoint {
  int32_t used = 0;
  double worldX = 0, worldY = 0, worldZ = 0;
  double imageX = 0, imageY = 0;
};

// The model points, stored column by column (the layout the solver's point record shares).
// Entries at and beyond count are not part of the model and are kept cleared.
struct CalibrationPoints {
  int32_t count = 0;
  int32_t used[kMaxCalibrationPoints] = {};
  double worldX[kMaxCalibrationPoints] = {};
  double worldY[kMaxCalibrationPoints] = {};
  double worldZ[kMaxCalibrationPoints] = {};
  double imageX[kMaxCalibrationPoints] = {};
  double imageY[kMaxCalibrationPoints] = {};

  CalibrationPoint At(int i) const {
    return {used[i], worldX[i], worldY[i], worldZ[i], imageX[i], imageY[i]};
  }
  // Clears every slot and sets count to 0.
  void Clear();
};

// Bits of Calibration::flags.
enum CalibrationFlag : uint32_t {
  kFlagCameraFile = 1u << 0,        // a camera-parameter file name is held
  kFlagModelFile = 1u << 1,         // a model file name is held
  kFlagCalibrationImage = 1u << 2,  // a calibration frame file name is held
  kFlagCalibrationFile = 1u << 3,   // a calibration data file name is held
  kFlagCameraRead = 1u << 4,        // camera parameters came from the camera-parameter file
  kFlagCalibrated = 1u << 5,        // the result is valid
  kFlagLinearSizing = 1u << 6,      // convert with the linear scale even when calibrated
  kFlagNonCoplanar = 1u << 7,       // the model points do not all share one Z
  kFlagFullOptimized = 1u << 8,     // run the full non-linear optimisation
  kFlagGradientSearch = 1u << 9,    // run the gradient search on sx
  kFlagFramePlaced = 1u << 10,      // the eight frame corners hold a valid placement
};

struct ImagePoint {
  double x = 0;
  double y = 0;
};

// The model box and the model frame drawn over the calibration frame, the two points of linear
// sizing and the selected point; the reconstruction from several cameras.
class Projection {
 public:
  // Model box: the extent of the model's world points.
  double minX = 0, maxX = 0, minY = 0, maxY = 0, minZ = 0, maxZ = 0;
  // Image positions of the eight corners of the model frame: corners 0..3 are (minX, minY),
  // (maxX, minY), (maxX, maxY), (minX, maxY) at minZ, corners 4..7 the same at maxZ.
  double frameX[8] = {};
  double frameY[8] = {};
  // The two points of linear sizing, pixels.
  ImagePoint sizingPoint1{10, 50};
  ImagePoint sizingPoint2{90, 50};
  // The calibration point last selected (0-based), 1 or 2 for a linear-sizing point, -1 none.
  int32_t selectedPoint = -1;

  // Places every unused point of points from the model frame (bilinear in the frame face at
  // the point's height); used points keep their positions.
  void PlacePointsLinear(CalibrationPoints& points) const;

  // The handle of the model frame under frame-buffer position (x, y): 0..7 corners, 8..19 edges,
  // 20 inside, -1 none. The tolerance is 4 screen pixels at the given zoom.
  int HitTestHandle(double x, double y, double zoom) const;
  // Moves handle by (dx, dy) frame-buffer pixels; each corner stays on its side of the
  // neighbours named for that handle, so the frame never folds over.
  void MoveHandle(int handle, double dx, double dy);
  // Distance of (px, py) from the segment (x1, y1)-(x2, y2).
  static double DistanceToSegment(double x1, double y1, double x2, double y2, double px,
                                  double py);
  // The world length of half a frame-buffer pixel, from the spread of the used points.
  double HalfPixelTolerance(const CalibrationPoints& points) const;
  // The distance in world units between model point i and the viewing ray of its image point.
  static double ObjectSpaceError(int i, const CalibrationPoints& points,
                                 const CameraParameters& camera, const CalibrationResult& result);

  // Three-dimensional reconstruction, called on a calibration (defined with the reconstruction).
  // B += A element by element over rows * columns entries.
  static void AddMatrix(const double* a, int rows, int columns, double* b);
  // The viewing ray of image point (x, y) in camera k of the document: centre c, direction d.
  void CameraRay(double c[3], double d[3], int k, float x, float y, const Document& doc) const;
  // The world point of an object sequence at a frame from all calibrated cameras that hold it;
  // out is written only when the solution exists.
  void ReconstructSequence3D(float out[3], const ResObjectSequence& sequence, int frame,
                             const Document& doc, const ResObjectSequences& sequences) const;
  // The midpoint of the common perpendicular of the viewing rays of (xa, ya) in this camera and
  // (xb, yb) in camera b; out is written only when this camera is calibrated.
  void ReconstructFromTwoCameras(float out[3], float xa, float ya, float xb, float yb,
                                 const Calibration& b) const;
  // The epipolar line in this camera (undistorted sensor mm) of the current object's point in
  // the one other calibrated camera that holds it; returns 1.
  int EpipolarLine(float point[2], float direction[2], const Document& doc) const;
  // Moves image point p onto the line (px, py) + t (ux, uy) of the undistorted sensor plane.
  void ProjectOntoLine(float p[2], float px, float py, float ux, float uy) const;

 protected:
  // Projection only exists as the base of a Calibration.
  Projection() = default;
  const Calibration& AsCalibration() const;
  Calibration& AsCalibration();
};

// Distance of every used model point from the viewing ray through its measured image point,
// in camera coordinates (mm): mean, standard deviation, maximum and sum of squares. Fewer than
// two used points give four zeros.
void ObjectSpaceErrorStats(double& mean, double& deviation, double& maximum, double& sumSquares,
                           const CalibrationPoints& points, const CameraParameters& camera,
                           const CalibrationResult& result);

class Calibration : public Projection {
 public:
  Calibration() = default;

  uint32_t flags = 0;
  FileName cameraFile;        // camera-parameter file (".cam")
  FileName modelFile;         // calibration model file (".cmo")
  FileName calibrationImage;  // image file of the calibration frame
  FileName calibrationFile;   // calibration data file (".cdc")
  CameraParameters camera;
  CalibrationResult result;
  CalibrationPoints points;
  double lengthScale = 1.0;  // the sequence's UNITS: one pixel is 10 * lengthScale mm high
  double aspect = 1.0;       // pixel width relative to its height
  double imageWidth = 100.0;
  double imageHeight = 100.0;
  // The calibration frame as the calibration view loaded it, the copy it shows, and its palette.
  std::shared_ptr<CDIB> calibrationFrame;
  std::shared_ptr<CDIB> displayFrame;
  std::shared_ptr<ColorPalette> framePalette;
  double divergenceMean = 0;       // last mean from GetErrorStatistics
  double divergenceDeviation = 0;  // last standard deviation from GetErrorStatistics
  // The calibration data file's text as it was last read or written (empty: none on disk), so
  // that a change since can be told.
  std::string savedCalibrationData;
  // The calibration data file's bytes when it was last read or written, so that a change another
  // program made since is not overwritten without asking.
  FileSnapshot calibrationDataOnDisk;

  bool Has(uint32_t flag) const { return (flags & flag) != 0; }
  void SetFlag(uint32_t flag, bool on) { flags = on ? (flags | flag) : (flags & ~flag); }
  bool IsCalibrated() const { return Has(kFlagCalibrated); }
  bool UsesLinearSizing() const { return Has(kFlagLinearSizing); }
  CalibrationPoint Point(int i) const { return points.At(i); }

  // Stores scale, aspect and size; unless the camera parameters came from a file, derives the
  // default camera (Ncx = Nfx = width, dx = dy = 0.016 mm, dpx = 10 * scale * aspect,
  // dpy = 10 * scale). A new width or height moves the linear-sizing points to 10 % and 90 % of
  // the width at half the height; the same size keeps them.
  void SetImageSize(double scale, double aspectRatio, int32_t width, int32_t height);

  // All four file names are given.
  bool IsReady() const;
  // Ready, and at least 9 used points (coplanar model) or 12 (non-coplanar model).
  bool CanCalibrate() const;
  // Calibrates from the used points: 0 on success, -1 when CanCalibrate is false, otherwise the
  // solver's message id; on failure the record is unchanged. Defined with the solver.
  // holdSx: a non-coplanar model is calibrated at the current sx instead of finding its own
  // (the gradient search on sx drives it so).
  int Calibrate(bool holdSx = false);
  // Fill the solver's records from this one, and take its results back. Defined with the solver.
  void CopyToSolver();
  void CopyFromSolver();

  // World position (X, Y, 0) of image position (x, y); missing coordinates stay missing.
  void ImageToWorld(float out[3], float x, float y) const;
  // Image position (x, y, 0) of a world point; out is left as it was when not calibrated.
  void WorldToImage(float out[3], float X, float Y, float Z) const;
  // The inverse of ImageToWorld: through the camera model, or the linear scale.
  void WorldToImageScaled(float out[3], float X, float Y) const;

  // Predicted image positions for the unused points.
  void ProjectModelPoints();
  void SetAllPointsUsed(signed char used);
  // Whether anything changed.
  bool SetPointUsed(int32_t index, signed char used, bool select);
  bool SetImagePoint(int32_t index, double x, double y);
  // The point within 4 / zoom pixels of (x, y) (lowest index first), or -1; in linear sizing
  // 1 or 2 for a linear-sizing point.
  int32_t FindPoint(double x, double y, double zoom) const;

  // The divergence of the used points from their viewing rays; false (outputs untouched) when
  // not calibrated. Keeps mean and deviation in the record.
  bool GetErrorStatistics(double& mean, double& deviation, double& maximum, double& sumSquares);
  // Three-dimensional divergence against another calibration of the same model file: each point
  // used in both is reconstructed from the two cameras and compared with its world position.
  // False (and zeros) when the model files differ or this camera is not calibrated.
  bool MatchModelPoints(double& sum, double& sumSquares, int32_t& count,
                        const Calibration& other) const;

  // Updates the model box and the coplanar / non-coplanar classification (a flat model gets
  // Z = 0), builds the default model frame unless one is placed, and places the unused points.
  void ClassifyModel();

  // Calibration files. Each setter sets the file name and its flag, then reads the file as said.
  // Reread false: only the name; true: clears the calibrated flag and reads the file.
  bool SetCameraFile(std::string_view name, bool reread = true, bool quiet = false);
  bool SetModelFile(std::string_view name, bool reread = true, bool quiet = false);
  // Sets the calibration frame's name and drops the loaded frame images.
  void SetCalibrationImage(std::string_view name);
  // Sets the calibration data file's name and reads it; the flag is set even when reading fails.
  void SetCalibrationFile(std::string_view name);

  // True when Ncx, Nfx, dx and dy were read. Messages 31011 (unless quiet), 31013..31016.
  bool ReadCameraFile(bool quiet = false);
  // True when at least 8 model points were read. Messages 31020 (unless quiet), 31023.
  bool ReadModelFile(bool quiet = false);
  // False only when the file cannot be opened (no message).
  bool ReadCalibrationFile();
  // Writes the camera parameters; a file that cannot be written is reported with its cause
  // (ReportFailedWrite) and gives false.
  bool WriteCameraFile();

  // The calibration data file as ReadCalibrationFile reads it back: the three file names
  // relative to its folder, the flags, Cx, Cy, sx, the result, every model point with its use
  // and the placed model frame; each number in the shortest form that reads back the same.
  std::string CalibrationDataText() const;
  // Writes that text to the calibration data file (replaced whole or not at all). When another
  // program changed the file since it was read or written here, the user chooses between
  // overwriting it and keeping that version (kKept: nothing written). A file that cannot be
  // written is reported with its cause (ReportFailedWrite) and gives kFailed.
  FileSave WriteCalibrationFile();
  // The record differs from what its calibration data file holds (or there is no such file yet),
  // and there is something to keep: a data file is named or the camera is calibrated.
  bool CalibrationDataChanged() const;
};
