#include "platform/numbers.h"
#include "platform/strings.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace {

struct ParseCase {
  const char* text;
  double expected;
};

TEST(Numbers, ParseDoubleReadsLikeAtofInTheCLocale) {
  const ParseCase cases[] = {
      {"0.495", 0.495}, {"  25.5 mm", 25.5}, {"-1e-3", -0.001}, {"+7", 7.0},
      {"abc", 0.0},     {"", 0.0},           {"1,5", 1.0},      {"--2", 0.0},
      {".5", 0.5},      {"3.", 3.0},         {"1e400", HUGE_VAL},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::ParseDouble(c.text), c.expected) << c.text;
}

TEST(Numbers, TryParseWantsTheWholeText) {
  double d = -1;
  EXPECT_TRUE(platform::TryParseDouble(" 12.25 ", d));
  EXPECT_EQ(d, 12.25);
  EXPECT_FALSE(platform::TryParseDouble("12.25x", d));
  EXPECT_FALSE(platform::TryParseDouble("", d));
  int i = -1;
  EXPECT_TRUE(platform::TryParseInt("+42", i));
  EXPECT_EQ(i, 42);
  EXPECT_FALSE(platform::TryParseInt("4.2", i));
  EXPECT_FALSE(platform::TryParseInt("99999999999", i));
  EXPECT_EQ(platform::ParseLong(" -17abc"), -17);
  EXPECT_EQ(platform::ParseLong("x1"), 0);
  EXPECT_EQ(platform::NumberPrefixLength("  1.5;2"), 5u);
  EXPECT_EQ(platform::NumberPrefixLength(";2"), 0u);
}

TEST(Numbers, FormattingMatchesPrintfInTheCLocale) {
  EXPECT_EQ(platform::FormatG(1.0), "1");
  EXPECT_EQ(platform::FormatG(0.495), "0.495");
  EXPECT_EQ(platform::FormatG(static_cast<double>(0.495f)), "0.495");
  EXPECT_EQ(platform::FormatG(1234567.0), "1.23457e+06");
  EXPECT_EQ(platform::FormatG(0.0001), "0.0001");
  EXPECT_EQ(platform::FormatG(0.00001), "1e-05");
  EXPECT_EQ(platform::FormatFixed(2.5, 3), "2.500");
  EXPECT_EQ(platform::FormatFixed(-0.0005, 3), "-0.001");
  EXPECT_EQ(platform::FormatScientific(1500.0, 2), "1.50e+03");
}

// A desktop with a decimal comma must not change how the program's files read or write.
// A number typed into a dialog field: what each text becomes (its value and the text the field
// then shows), or that it is refused (no value). Nothing is cut off at a character it does not
// know. The same table holds under a German numeric locale.
TEST(Numbers, TypedNumbersTakeACommaAsThePointAndRefuseTheRest) {
  struct Case {
    const char* typed;
    std::optional<double> value;
    const char* shown;
  };
  const std::string beyondADouble(400, '9');
  const Case cases[] = {
      {"29,97", 29.97, "29.97"},
      {"29.97", 29.97, "29.97"},
      {"0,0083", 0.0083, "0.0083"},
      {"-1,5", -1.5, "-1.5"},
      {"1,2,3", std::nullopt, ""},
      {"1.2.3", std::nullopt, ""},
      {"1,2.3", std::nullopt, ""},
      {"12a", std::nullopt, ""},
      {"", std::nullopt, ""},
      {",5", 0.5, "0.5"},
      {"5,", 5.0, "5"},
      {" 25,5 ", 25.5, "25.5"},
      {",", std::nullopt, ""},
      {"-", std::nullopt, ""},
      {"+3", std::nullopt, ""},
      {"1e5", std::nullopt, ""},
      {"1 5", std::nullopt, ""},
      {beyondADouble.c_str(), std::nullopt, ""},
  };
  const std::string old = std::setlocale(LC_ALL, nullptr);
  for (const char* locale : {"C", "de_DE.UTF-8"}) {
    if (!std::setlocale(LC_ALL, locale)) {
      ADD_FAILURE() << "locale " << locale << " is not installed (scripts/install-deps.sh)";
      continue;
    }
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(locale) + " \"" + c.typed + '"');
      const auto number = platform::ReadTypedNumber(c.typed);
      ASSERT_EQ(number.has_value(), c.value.has_value());
      if (!number) continue;
      EXPECT_EQ(number->value, *c.value);
      EXPECT_EQ(number->text, c.shown);
    }
  }
  std::setlocale(LC_ALL, old.c_str());
  // A field whose dialog asks for a point takes no comma.
  EXPECT_FALSE(platform::ReadTypedNumber("1,5", false));
  EXPECT_EQ(platform::ReadTypedNumber("-12.5", false)->value, -12.5);
}

TEST(Numbers, GermanNumericLocaleChangesNothing) {
  std::string old = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale installed";
  char probe[32];
  std::snprintf(probe, sizeof probe, "%g", 0.5);
  EXPECT_STREQ(probe, "0,5");  // the locale really is in force
  EXPECT_EQ(platform::ParseDouble("0.495"), 0.495);
  EXPECT_EQ(platform::FormatG(0.495), "0.495");
  EXPECT_EQ(platform::FormatFixed(25.5, 1), "25.5");
  std::setlocale(LC_ALL, old.c_str());
}

}  // namespace

TEST(Numbers, FloatToIntConversionsStayInRange) {
  constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
  struct Case {
    double value;
    int clamped;  // ClampToInt over the whole int range
    int pixel;    // ToPixel
  };
  const Case cases[] = {
      {0.0, 0, 0},
      {2.9, 2, 2},
      {-2.9, -2, -2},
      {1e7, 10000000, 10000000},
      {2147483647.9, kMax, platform::kPixelLimit},
      {2147483648.0, kMax, platform::kPixelLimit},
      {-2147483648.9, kMin, -platform::kPixelLimit},
      {-2147483649.0, kMin, -platform::kPixelLimit},
      {3e21, kMax, platform::kPixelLimit},
      {-1e15, kMin, -platform::kPixelLimit},
      {kInf, kMax, platform::kPixelLimit},
      {-kInf, kMin, -platform::kPixelLimit},
      {kNan, kMin, -platform::kPixelLimit},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(platform::ClampToInt(c.value, kMin, kMax), c.clamped);
    EXPECT_EQ(platform::ToPixel(c.value), c.pixel);
  }
  EXPECT_EQ(platform::ClampToInt(-0.5, 0, 10), 0);
  EXPECT_EQ(platform::ClampToInt(10.5, 0, 10), 10);
}

// A rate kept as a float is shown as typed: 29.97f as 29.97, not as 29.969999.
TEST(Numbers, AFloatIsTakenAsItsShortestDecimal) {
  EXPECT_EQ(platform::FloatAsDecimal(29.97f), 29.97);
  EXPECT_EQ(platform::FloatAsDecimal(0.1f), 0.1);
  EXPECT_EQ(platform::FloatAsDecimal(25.0f), 25.0);
  EXPECT_EQ(platform::FloatAsDecimal(-1.5e-7f), -1.5e-7);
  EXPECT_EQ(platform::Format("%lf", platform::FloatAsDecimal(29.97f)), "29.970000");
}
