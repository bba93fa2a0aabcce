#pragma once

// The pictures of the calibration window: camera arrows, exit, image filters and the four
// quality indicators (a green tick within the limit, a red cross over it, for 2D and 3D).
void RegisterCalibrationBitmaps();
