#include "app/ui/mdiclient.h"

#include "base/app_ids.h"

ZorvatrackMDIClient::ZorvatrackMDIClient(QWidget* parent) : QMdiArea(parent) {
  // The workspace colour of the desktop behind the document windows.
  setBackground(palette().brush(QPalette::Dark));
}

const platform::CommandTable& ZorvatrackMDIClient::Commands() const {
  using M = ZorvatrackMDIClient;
  static constexpr platform::CommandEntry entries[] = {
      platform::Command<&M::CmPrint, &M::CePrint>(cmd::kPrint),
      platform::Command<&M::CmPrinterSetup, &M::CePrint>(cmd::kPrinterSetup),
      platform::Command<&M::CmPageSetup, &M::CePrint>(cmd::kPageSetup),
  };
  static const platform::CommandTable table{entries};
  return table;
}
