#include "app/ui/mdiclient.h"

ZorvatrackMDIClient::ZorvatrackMDIClient(QWidget* parent) : QMdiArea(parent) {
  // The workspace colour of the desktop behind the document windows.
  setBackground(palette().brush(QPalette::Dark));
}

const platform::CommandTable& ZorvatrackMDIClient::Commands() const {
  static const platform::CommandTable table{};
  return table;
}
