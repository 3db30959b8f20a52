// The command line: what parses, and one clear error for what does not.
#include <gtest/gtest.h>

#include "host/vsthost/CommandLine.h"

namespace {

using vsthost::ParseCommandLine;
using Args = std::vector<std::string>;

TEST(HostCommandLine, RenderWithEverything) {
  const auto o = ParseCommandLine({"render", "p.so", "in.wav", "out.wav", "--program", "3", "--param", "2=0.25",
                                   "--param-text=1=stereo b", "--block", "64", "--rate=48000", "--seconds", "1.5"});
  EXPECT_EQ(o.command, vsthost::Command::Render);
  EXPECT_EQ(o.plugin, "p.so");
  EXPECT_EQ(o.input, "in.wav");
  EXPECT_EQ(o.output, "out.wav");
  EXPECT_EQ(o.program, 3);
  ASSERT_EQ(o.settings.size(), 2u);
  EXPECT_EQ(o.settings[0].kind, vsthost::Setting::HostValue);
  EXPECT_EQ(o.settings[0].index, 2);
  EXPECT_EQ(o.settings[0].value, 0.25f);
  EXPECT_EQ(o.settings[1].kind, vsthost::Setting::Text);
  EXPECT_EQ(o.settings[1].text, "stereo b");
  EXPECT_EQ(o.block, 64);
  EXPECT_EQ(o.rate, 48000);
  EXPECT_TRUE(o.rateGiven);
  EXPECT_EQ(o.seconds, 1.5);
}

TEST(HostCommandLine, SnapshotGesturesKeepTheirOrder) {
  const auto o = ParseCommandLine({"snapshot", "p.so", "o.png", "--click", "394,95", "--ticks", "3", "--drag",
                                   "10,20:-5,40"});
  ASSERT_EQ(o.gestures.size(), 3u);
  EXPECT_EQ(o.gestures[0].kind, vsthost::Gesture::Click);
  EXPECT_EQ(o.gestures[0].x1, 394);
  EXPECT_EQ(o.gestures[0].y1, 95);
  EXPECT_EQ(o.gestures[1].ticks, 3);
  EXPECT_EQ(o.gestures[2].kind, vsthost::Gesture::Drag);
  EXPECT_EQ(o.gestures[2].x2, -5);
  EXPECT_EQ(o.gestures[2].y2, 40);
}

TEST(HostCommandLine, RenderWithoutInputUsesTheTestSignal) {
  const auto o = ParseCommandLine({"render", "p.so", "out.wav"});
  EXPECT_TRUE(o.input.empty());
  EXPECT_EQ(o.output, "out.wav");
}

class HostBadArguments : public ::testing::TestWithParam<std::pair<Args, const char *>> {};

TEST_P(HostBadArguments, AreUsageErrors) {
  const auto &[args, expected] = GetParam();
  try {
    ParseCommandLine(args);
    ADD_FAILURE() << "accepted";
  } catch (const vsthost::UsageError &e) {
    EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
    EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostBadArguments,
    ::testing::Values(std::make_pair(Args{}, "no command"), std::make_pair(Args{"play"}, "unknown command"),
                      std::make_pair(Args{"info"}, "one plug-in file"),
                      std::make_pair(Args{"info", "a.so", "b.so"}, "one plug-in file"),
                      std::make_pair(Args{"render", "a.so"}, "PLUGIN [IN.wav] OUT.wav"),
                      std::make_pair(Args{"render", "a", "b", "c", "d"}, "PLUGIN [IN.wav] OUT.wav"),
                      std::make_pair(Args{"render", "a", "b", "--block"}, "missing value"),
                      std::make_pair(Args{"render", "a", "b", "--block", "0"}, "outside 1..65536"),
                      std::make_pair(Args{"render", "a", "b", "--block", "12x"}, "not a whole number"),
                      std::make_pair(Args{"render", "a", "b", "--rate", "nan"}, "not a number"),
                      std::make_pair(Args{"render", "a", "b", "--seconds", "-1"}, "outside"),
                      std::make_pair(Args{"render", "a", "b", "--param", "0=1.5"}, "outside"),
                      std::make_pair(Args{"render", "a", "b", "--param", "0:0.5"}, "expected '='"),
                      std::make_pair(Args{"render", "a", "b", "--param", "-1=0.5"}, "outside"),
                      std::make_pair(Args{"render", "a", "b", "--program", "99999999999"}, "outside"),
                      std::make_pair(Args{"render", "a", "b", "--click", "1,2"}, "unknown option"),
                      std::make_pair(Args{"snapshot", "a", "b", "--click", "12"}, "expected ','"),
                      std::make_pair(Args{"snapshot", "a", "b", "--drag", "1,2"}, "expected ':'"),
                      std::make_pair(Args{"snapshot", "a", "b", "--block", "8"}, "unknown option"),
                      std::make_pair(Args{"demo", "x"}, "no file arguments"),
                      std::make_pair(Args{"render", "a", "b", "--param-text", "1=" + std::string(300, 't')},
                                     "longer than 255")),
    [](const auto &info) { return "Case" + std::to_string(info.index); });

} // namespace
