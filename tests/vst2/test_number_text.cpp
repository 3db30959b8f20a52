// The framework's number text and its reading back.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "vst2/NumberText.h"

using nimbrel::extended;
using vst2::FloatToText;
using vst2::TextToFloat;

namespace {

struct TTextCase {
  extended value;
  const char *text;
};

TEST(NumberText, GeneralFormatWithFifteenDigits) {
  const TTextCase cases[] = {
      {0.5L, "0.5"},
      {0.01f, "0.00999999977648258"},
      {1.0e-7f, "1.0000000116861E-7"},
      {13.0L, "13"},
      {0.0L, "0"},
      {-0.0L, "0"},
      {-2.5L, "-2.5"},
      {-13.0f, "-13"},
      {1.0e15f, "999999986991104"},            // 15 integer digits: still fixed
      {1.0e16f, "1.00000002725642E16"},        // 17 integer digits: scientific, no plus sign
      {123456789012345.0L, "123456789012345"}, // exactly 15 digits
      {1234567890123456.0L, "1.23456789012346E15"},
      {999999999999999.5L, "1E15"},            // rounding carries into a 16th digit
      {1.0e20f, "1.00000002004088E20"},
      {0.1L, "0.1"},
      {1.0L / 3.0L, "0.333333333333333"},
      {2.0L / 3.0L, "0.666666666666667"},
      {0.00001L, "0.00001"},                   // the smallest fixed value
      {1.0e-5f, "9.99999974737875E-6"},        // the float just below it is scientific
      {0.0001f, "0.0000999999974737875"},
      {-1.0e-7f, "-1.0000000116861E-7"},
      {std::numeric_limits<float>::max(), "3.40282346638529E38"},
      {std::numeric_limits<float>::denorm_min(), "1.40129846432482E-45"},
      {0.49999991f, "0.499999910593033"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(FloatToText(c.value, "."), c.text) << "for " << static_cast<double>(c.value);
}

TEST(NumberText, NonFiniteValues) {
  EXPECT_EQ(FloatToText(std::numeric_limits<extended>::quiet_NaN(), "."), "NAN");
  EXPECT_EQ(FloatToText(std::numeric_limits<extended>::infinity(), "."), "INF");
  EXPECT_EQ(FloatToText(-std::numeric_limits<extended>::infinity(), "."), "-INF");
}

TEST(NumberText, SeparatorIsTheGivenOne) {
  EXPECT_EQ(FloatToText(0.5L, ","), "0,5");
  EXPECT_EQ(FloatToText(1.0e-7f, ","), "1,0000000116861E-7");
  EXPECT_EQ(FloatToText(0.01f, ","), "0,00999999977648258");
  EXPECT_EQ(FloatToText(1234.0L, ","), "1234"); // no grouping
}

TEST(NumberText, ProgramWithoutSetlocaleUsesPoint) {
  EXPECT_EQ(vst2::DecimalSeparator(), ".");
  EXPECT_EQ(FloatToText(2.25L), "2.25");
}

TEST(NumberText, UserLocaleSeparatorWhenInstalled) {
  const char *names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"};
  const char *set = nullptr;
  for (const char *n : names)
    if ((set = std::setlocale(LC_NUMERIC, n)) != nullptr)
      break;
  if (set == nullptr)
    GTEST_SKIP() << "no locale with a decimal comma is installed";
  const std::string text = FloatToText(0.5L);
  float back = 0;
  const bool read = TextToFloat("1,5", back);
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(text, "0,5");
  EXPECT_TRUE(read);
  EXPECT_EQ(back, 1.5f);
}

struct TReadCase {
  const char *text;
  const char *separator;
  bool ok;
  float value;
};

TEST(NumberText, ReadsDecimalNumbers) {
  const TReadCase cases[] = {
      {"0.5", ".", true, 0.5f},
      {"16.5", ".", true, 16.5f},
      {"  -2.5e3 ", ".", true, -2500.0f},
      {"+4", ".", true, 4.0f},
      {"1e-7", ".", true, 1.0e-7f},
      {"1E+2", ".", true, 100.0f},
      {".5", ".", true, 0.5f},
      {"5.", ".", true, 5.0f},
      {"1e-60", ".", true, 0.0f}, // underflows to zero
      {"1,5", ",", true, 1.5f},
      {"1,5", ".", false, 0},
      {"1.5", ",", false, 0},
      {"", ".", false, 0},
      {"   ", ".", false, 0},
      {"abc", ".", false, 0},
      {"1.2.3", ".", false, 0},
      {"1e", ".", false, 0},
      {"e5", ".", false, 0},
      {"+", ".", false, 0},
      {"-.", ".", false, 0},
      {"12abc", ".", false, 0},
      {"0x10", ".", false, 0},
      {"nan", ".", false, 0},
      {"inf", ".", false, 0},
      {"1e39", ".", false, 0}, // beyond the float range
  };
  for (const auto &c : cases) {
    float v = -99.0f;
    const bool ok = TextToFloat(c.text, c.separator, v);
    EXPECT_EQ(ok, c.ok) << '"' << c.text << '"';
    if (c.ok && ok) {
      EXPECT_EQ(v, c.value) << '"' << c.text << '"';
    }
    if (!ok) {
      EXPECT_EQ(v, -99.0f) << "a failed read must leave the result alone";
    }
  }
}

TEST(NumberText, ReadsBackWhatItWrites) {
  for (float v : {0.5f, 0.01f, 1.0e-7f, -3.75f, 12345.678f, 1.0e16f}) {
    float back = 0;
    ASSERT_TRUE(TextToFloat(FloatToText(v, "."), ".", back)) << v;
    EXPECT_EQ(back, v);
  }
}

} // namespace
