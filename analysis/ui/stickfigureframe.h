#pragma once

// The 3D stick-figure window as an analysis layout frames it: the window with its angle panel
// beside it, taking the document's frame changes and rebuilds.

#include <string>

class AnalysisFramed;
class Document;
class QWidget;

// Makes the 3D window and its angle panel as children of the layout; they live as long as it.
AnalysisFramed* MakeStickFigureFrame(QWidget* layout, const std::string& title, int currentFrame,
                                     Document* document);
