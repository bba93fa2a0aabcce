#pragma once

// Painting and clipboard copy of a CDIB. The bitmap becomes a QImage only here, to be painted;
// everything else works on the bitmap's own layout.

#include <QImage>
#include <QRect>

class CDIB;
class QPainter;

// The bitmap as an image, top row first (a copy); a null image for an empty bitmap.
QImage DibToQImage(const CDIB& dib);

// Paints the source rectangle of the bitmap (in top-down image coordinates) into the destination
// rectangle, scaled when stretch is set and the sizes differ, else unscaled at the destination's
// top left. The first paint of a new image waits for what is left of the paint delay (bounded;
// repaints never wait). False for an empty bitmap.
bool PaintDib(QPainter& painter, CDIB& dib, const QRect& destination, const QRect& source,
              bool stretch);

// Puts a copy of the bitmap on the clipboard.
void CopyDibToClipboard(const CDIB& dib);
