#include "platform/numbers.h"

#include <gtest/gtest.h>

TEST(Numbers, ParseDoubleHasAtofSemantics) {
  EXPECT_DOUBLE_EQ(platform::ParseDouble("  0.495xyz"), 0.495);
  EXPECT_DOUBLE_EQ(platform::ParseDouble("abc"), 0.0);
}
