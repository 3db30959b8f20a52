// The tone-shift measurement against synthetic outputs with known content.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "host/vsthost/ToneShift.h"

namespace {

constexpr double kRate = 44100;
constexpr double kTone = 1000;

struct Component {
  double offsetHz;
  double amplitude;
};

std::vector<float> Synthesize(double seconds, std::initializer_list<Component> parts) {
  std::vector<float> x(static_cast<std::size_t>(seconds * kRate));
  for (std::size_t i = 0; i < x.size(); ++i) {
    double v = 0;
    for (const auto &p : parts) v += p.amplitude * std::sin(2 * M_PI * (kTone + p.offsetHz) * i / kRate + 0.3);
    x[i] = static_cast<float>(v);
  }
  return x;
}

struct ShiftCase {
  double shift;
  double wet;
};

class HostToneShiftCases : public ::testing::TestWithParam<ShiftCase> {};

TEST_P(HostToneShiftCases, FindsTheMovedToneBesideTheDryOne) {
  const auto [shift, wet] = GetParam();
  const auto x = Synthesize(12.0, {{0.0, 0.25}, {shift, wet}});
  const auto r = vsthost::MeasureToneShift(x.data(), x.size(), kRate, kTone, 0.5);
  ASSERT_TRUE(r.found);
  EXPECT_NEAR(r.offsetHz, shift, 0.005);
  EXPECT_NEAR(r.amplitude, wet / 0.5, 0.02);
}

INSTANTIATE_TEST_SUITE_P(Shifts, HostToneShiftCases,
                         ::testing::Values(ShiftCase{0.351, 0.25}, ShiftCase{-0.351, 0.25}, ShiftCase{0.93, 0.1},
                                           ShiftCase{-1.234, 0.25}, ShiftCase{5.5, 0.05}, ShiftCase{-13.0, 0.25}),
                         [](const auto &info) { return "Case" + std::to_string(info.index); });

TEST(HostToneShift, PicksTheStrongerOfTwoSidebands) {
  const auto x = Synthesize(12.0, {{0.0, 0.25}, {0.57, 0.1}, {-0.57, 0.2}});
  const auto r = vsthost::MeasureToneShift(x.data(), x.size(), kRate, kTone, 0.5);
  ASSERT_TRUE(r.found);
  EXPECT_NEAR(r.offsetHz, -0.57, 0.005);
}

TEST(HostToneShift, AnUnmovedToneIsNotAShift) {
  const auto x = Synthesize(12.0, {{0.0, 0.5}});
  EXPECT_FALSE(vsthost::MeasureToneShift(x.data(), x.size(), kRate, kTone, 0.5).found);
}

TEST(HostToneShift, TooShortOrEmptyInputMeasuresNothing) {
  const auto x = Synthesize(0.2, {{1.0, 0.5}});
  EXPECT_FALSE(vsthost::MeasureToneShift(x.data(), x.size(), kRate, kTone, 0.5).found);
  EXPECT_FALSE(vsthost::MeasureToneShift(nullptr, 0, kRate, kTone, 0.5).found);
}

} // namespace
