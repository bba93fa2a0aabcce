#pragma once

// The pictures of the calibration window: camera arrows, image filters and the four
// quality indicators (a green tick within the limit, a red cross over it, for 2D and 3D). Its
// exit button shows the program's exit picture, the print preview's.
void RegisterCalibrationBitmaps();
