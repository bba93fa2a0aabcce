#include "installer/action_data.h"

#include <gtest/gtest.h>

namespace ostrelink {
namespace {

using Items = std::vector<std::string>;

struct EntriesCase {
  const char* name;
  std::string data;
  std::vector<AppEntry> expected;
};

TEST(ActionData, ParsesEntriesAsTheInstallerPassesThem) {
  const EntriesCase cases[] = {
      {"full entry",
       "app\x02txt\x04log\x03text/plain\x04text/x-log",
       {{"app", {"txt", "log"}, {"text/plain", "text/x-log"}}}},
      {"empty item between separators", "app\x02txt\x04\x04log", {{"app", {"txt", "log"}, {}}}},
      {"no U+0003: no MIME types",
       "app\x02"
       "bld",
       {{"app", {"bld"}, {}}}},
      {"MIME types only", "app\x02\x03text/plain", {{"app", {}, {"text/plain"}}}},
      {"entry without U+0002 skipped",
       "lonely\x01"
       "app\x02"
       "bld",
       {{"app", {"bld"}, {}}}},
      {"nothing after U+0002 skipped",
       "app\x02\x01"
       "b\x02"
       "dsc",
       {{"b", {"dsc"}, {}}}},
      {"two entries",
       "a\x02"
       "bld\x01"
       "b\x02\x03x/y",
       {{"a", {"bld"}, {}}, {"b", {}, {"x/y"}}}},
      {"empty entries between U+0001",
       "\x01\x01"
       "a\x02"
       "bld\x01",
       {{"a", {"bld"}, {}}}},
      {"empty text", "", {}},
  };
  for (const EntriesCase& c : cases) {
    EXPECT_EQ(ParseEntries(c.data), c.expected) << c.name;
  }
}

TEST(ActionData, SingleEntrySplitsAtTheFirstNameSeparatorOnly) {
  // One entry is never split at U+0001: the separator stays inside the last item.
  const std::optional<AppEntry> entry = ParseEntry(
      "app\x02"
      "bld\x04"
      "dsc\x01"
      "x");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->application, "app");
  EXPECT_EQ(entry->extensions, (Items{"bld", "dsc\x01x"}));
  EXPECT_FALSE(ParseEntry("no separator"));
  const std::optional<AppEntry> bare = ParseEntry("app\x02");
  ASSERT_TRUE(bare);
  EXPECT_TRUE(bare->extensions.empty() && bare->mimeTypes.empty());
}

}  // namespace
}  // namespace ostrelink
