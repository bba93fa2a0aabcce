// Runs a test executable inside a QApplication on the offscreen platform, with the C numeric
// locale the program itself uses.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/numeric_locale.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  platform::UseCNumericLocale();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
