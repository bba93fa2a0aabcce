#include "app/mydocmanager.h"

const platform::CommandTable& MyDocManager::Commands() const {
  static const platform::CommandTable table{};
  return table;
}

bool MyDocManager::IdlePlay() { return false; }
