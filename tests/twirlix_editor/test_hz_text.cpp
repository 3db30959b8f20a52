// The Hz label's text: one rounding to at most 3 significant digits and 2
// decimals, exactly 2 decimals written, the locale's separator, " Hz".
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "twirlix/editor/HzText.h"

namespace {

using nimbrel::twirlix::HzText;

TEST(HzText, RoundsOnceAndWritesTwoDecimals) {
  struct Case {
    float f;
    const char *text;
  };
  const Case cases[] = {
      {0.0f, "0.00 Hz"},         {0.711959f, "0.71 Hz"},   {0.004f, "0.00 Hz"},
      {0.006f, "0.01 Hz"},       {1.2334052f, "1.23 Hz"},  {9.156689f, "9.16 Hz"},
      {9.996f, "10.00 Hz"},      {10.0f, "10.00 Hz"},      {10.370125f, "10.40 Hz"},
      {12.31601f, "12.30 Hz"},   {12.96f, "13.00 Hz"},     {13.0f, "13.00 Hz"},
      {39.04f, "39.00 Hz"},      {99.96f, "100.00 Hz"},    {123.4f, "123.00 Hz"},
      {999.6f, "1000.00 Hz"},    {1234.0f, "1230.00 Hz"},  {-0.7119f, "-0.71 Hz"},
      {-0.001f, "0.00 Hz"},      {-12.31f, "-12.30 Hz"},
      // Exact binary halves go to the even neighbour.
      {0.125f, "0.12 Hz"},       {0.375f, "0.38 Hz"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(HzText(c.f, "."), c.text) << c.f;
}

TEST(HzText, UsesTheGivenSeparatorWhateverTheProcessLocale) {
  EXPECT_EQ(HzText(1.2334052f, ","), "1,23 Hz");
  EXPECT_EQ(HzText(12.31601f, "\xC2\xB7"), "12\xC2\xB7" "30 Hz"); // a multibyte separator
}

TEST(HzText, NonFiniteGivesNoText) {
  EXPECT_EQ(HzText(std::numeric_limits<float>::infinity(), "."), "");
  EXPECT_EQ(HzText(std::nanf(""), "."), "");
}

} // namespace
