// The needle scale: levels to positions, the bounds, and readings that are no
// number.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "quorlin/editor/NeedleScale.h"

using quorlin::NeedlePosition;
using quorlin::NeedlePositionForDB;
using quorlin::NeedleReadingDB;

TEST(NeedleScale, LevelsGiveTheirPositions) {
  struct Case {
    float level;
    int position;
  };
  const float threeDB = static_cast<float>(std::pow(10.0, 3.0 / 20.0));
  const Case cases[] = {
      {0.0f, 0},
      {0.1f, 6},
      {0.5f, 25},
      {1.0f, 47},
      {2.0f, 62},
      {std::nextafter(1.0f, 0.0f), 46}, // a hair below 0 dB
      {std::nextafter(threeDB, 0.0f), 61},
      {threeDB * 1.0001f, 62},
      {1000.0f, 62},
      {std::numeric_limits<float>::infinity(), 62},
      {0.003f, 0}, // about -50.5 dB
      {0.00317f, 1}, // about -49.98 dB
  };
  for (const Case &c : cases) EXPECT_EQ(NeedlePosition(c.level), c.position) << "level " << c.level;
}

TEST(NeedleScale, AReadingOnABoundTakesTheHigherPosition) {
  struct Case {
    float dB;
    int position;
  };
  const Case cases[] = {
      {-50.0f, 1}, {-40.0f, 2}, {-14.5f, 11}, {-9.0f, 18}, {-5.0f, 27}, {-2.0f, 38},
      {0.0f, 47},  {1.0f, 52},  {2.0f, 57},   {3.0f, 62},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(NeedlePositionForDB(c.dB), c.position) << c.dB << " dB";
    EXPECT_EQ(NeedlePositionForDB(std::nextafter(c.dB, -1000.0f)), c.position - 1) << "just below " << c.dB << " dB";
  }
}

// Bounds that are no float are compared at double precision: the float
// nearest to -9.9 lies above the decimal -9.9 and so reaches it; the floats
// nearest to -9.6 and 1.4 lie below theirs and do not.
TEST(NeedleScale, BoundsAreComparedAtDoublePrecision) {
  ASSERT_GT(static_cast<double>(-9.9f), -9.9);
  EXPECT_EQ(NeedlePositionForDB(-9.9f), 15);
  ASSERT_LT(static_cast<double>(-9.6f), -9.6);
  EXPECT_EQ(NeedlePositionForDB(-9.6f), 15);
  ASSERT_LT(static_cast<double>(1.4f), 1.4);
  EXPECT_EQ(NeedlePositionForDB(1.4f), 53);
  EXPECT_EQ(NeedlePositionForDB(300.0f), 62);
}

TEST(NeedleScale, ReadingsThatAreNoNumberShowTheLowestPosition) {
  EXPECT_EQ(NeedlePositionForDB(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(NeedlePosition(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(NeedlePosition(-0.5f), 0); // no level is negative; the logarithm of one is NaN
  EXPECT_EQ(NeedlePositionForDB(-std::numeric_limits<float>::infinity()), 0);
}

// The floor keeps a level of 0 finite: 1e-15 in float, about -300 dB.
TEST(NeedleScale, ALevelOfZeroReadsAsAboutMinus300DB) {
  const float d = NeedleReadingDB(0.0f);
  EXPECT_TRUE(std::isfinite(d));
  EXPECT_NEAR(d, -300.0f, 1e-3f);
  // The floor is far below anything a float level near the scale can tell.
  EXPECT_EQ(NeedleReadingDB(0.5f), static_cast<float>(20.0L * std::log10(0.5L)));
}
