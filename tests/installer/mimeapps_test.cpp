#include "installer/mimeapps.h"

#include <gtest/gtest.h>

namespace ostrelink {
namespace {

TEST(MimeApps, SettingADefaultKeepsEveryOtherLine) {
  struct Case {
    const char* name;
    std::string before;
    std::string after;
  };
  const Case cases[] = {
      {"empty file", "", "[Default Applications]\nt/x=z.desktop\n"},
      {"no default group", "# mine\n[Added Associations]\nt/x=a.desktop;\n",
       "# mine\n[Added Associations]\nt/x=a.desktop;\n\n[Default Applications]\nt/x=z.desktop\n"},
      {"type listed: its line replaced, other groups untouched",
       "[Added Associations]\nt/x=a.desktop;\n\n[Default Applications]\nt/y=y.desktop\n"
       "t/x = old.desktop;other.desktop;\nt/x=second.desktop\n",
       "[Added Associations]\nt/x=a.desktop;\n\n[Default Applications]\nt/y=y.desktop\n"
       "t/x=z.desktop\nt/x=second.desktop\n"},
      {"type missing: added at the end of the group, before its blank lines",
       "[Default Applications]\nt/y=y.desktop\n\n\n[Removed Associations]\nt/x=r.desktop;\n",
       "[Default Applications]\nt/y=y.desktop\nt/x=z.desktop\n\n\n[Removed Associations]\n"
       "t/x=r.desktop;\n"},
      {"carriage returns and a missing last line feed",
       "[Default Applications]\r\nt/y=y.desktop\r\n# note",
       "[Default Applications]\r\nt/y=y.desktop\r\n# note\nt/x=z.desktop\n"},
      {"a longer type with the same start is another type",
       "[Default Applications]\nt/xy=y.desktop\n",
       "[Default Applications]\nt/xy=y.desktop\nt/x=z.desktop\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WithDefault(c.before, "t/x", "z.desktop"), c.after) << c.name;
  }
}

TEST(MimeApps, ListsTheApplicationsOfTheFirstDefaultLine) {
  const std::string text =
      "[Added Associations]\nt/x=added.desktop;\n"
      "[Default Applications]\nt/x = a.desktop; b.desktop;;\nt/x=later.desktop\n";
  EXPECT_EQ(ListedDefaults(text, "t/x"), (std::vector<std::string>{"a.desktop", "b.desktop"}));
  EXPECT_TRUE(ListedDefaults(text, "t/y").empty());
  EXPECT_TRUE(ListedDefaults("[Added Associations]\nt/x=a.desktop\n", "t/x").empty());
}

}  // namespace
}  // namespace ostrelink
