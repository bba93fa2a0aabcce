#pragma once

// The tracking driver's view of the running program: the abort button on the toolbar, the image
// views' displayed frames and the mouse cursor.

class Document;

// Runs a tracking command (25200..25203) of the document with the program's windows.
int RunTrackingCommand(Document& doc, int command);
