#pragma once

// TSmartTile: Smart Tile on the windows of an MDI client. Every child window grows until it
// meets its neighbours or the client's border, never across another window; when windows
// overlap nothing moves and the user is told to move them apart first.

class QMdiArea;

class TSmartTile {
 public:
  explicit TSmartTile(QMdiArea* client) : client_(client) {}

  // False (after the message) when windows overlap, or without a client.
  bool SmartTile();

 private:
  QMdiArea* client_;
};
