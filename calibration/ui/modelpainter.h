#pragma once

// Paints the model overlay of a calibration (calibration/modeloverlay.h) with a QPainter: the
// frame, the unset points and a dragged sizing line inverting what lies under them.

class Calibration;
class QPainter;

void PaintModel(QPainter& painter, const Calibration& c, int offX, int offY, float zx, float zy);
