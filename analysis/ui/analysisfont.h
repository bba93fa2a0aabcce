#pragma once

// The one text font of every analysis window (axes, labels, captions); the font command of any
// analysis window replaces it for all.

#include <QFont>

QFont& AnalysisFont();
