#pragma once

class QWidget;

// Connects the image sequences to the program: their views live in document windows, their new
// bitmaps take the program's gamma defaults, and the video properties dialog runs over the main
// window. Called once when the main window exists.
void InstallDocumentServices(QWidget* mainWindow);
