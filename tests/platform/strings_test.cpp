#include "platform/strings.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(StringTable, EveryIdAppearsOnce) {
  std::set<int> seen;
  for (auto* e = platform::StringTableBegin(); e != platform::StringTableEnd(); ++e)
    EXPECT_TRUE(seen.insert(e->id).second) << "string " << e->id << " twice";
  EXPECT_FALSE(seen.empty());
}

TEST(StringTable, LooksUpExactTexts) {
  EXPECT_EQ(platform::LoadString(3001), "Zorvatrack");
  EXPECT_EQ(platform::LoadString(3036), "Delimeter");
  EXPECT_EQ(platform::LoadString(-12345), "");
  EXPECT_FALSE(platform::HasString(-12345));
}

TEST(Format, LongArgumentsAreNeverCut) {
  std::string caption(1000, 'D');
  std::string text = platform::Format("Document: %s\n\nsize %d of %.2f", caption, 999, 0.5);
  EXPECT_EQ(text, "Document: " + caption + "\n\nsize 999 of 0.50");
  EXPECT_EQ(platform::Format("100%% %s", "done"), "100% done");
  EXPECT_EQ(platform::Format("plain %s"), "plain %s");  // no arguments: taken literally
}

}  // namespace
