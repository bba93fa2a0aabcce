#include "analysis/ui/analysisfont.h"

QFont& AnalysisFont() {
  // A bold 10-point sans serif, the same on every display.
  static QFont font = [] {
    QFont f(QStringLiteral("Arial"), 10, QFont::Bold);
    f.setStyleHint(QFont::SansSerif);
    return f;
  }();
  return font;
}
