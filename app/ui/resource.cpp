#include "app/ui/resource.h"

Resource::Resource(QWidget* parent) : QWidget(parent) {}

const platform::CommandTable& Resource::Commands() const {
  static const platform::CommandTable table{};
  return table;
}
