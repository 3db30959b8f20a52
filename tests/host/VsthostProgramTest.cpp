// The vsthost program itself, run as a user would run it.
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "Fixtures.h"
#include "ProgramRunner.h"
#include "host/vsthost/WavFile.h"

namespace {

using host_test::Fixture;
using host_test::RunVsthost;

class HostProgramErrors : public ::testing::TestWithParam<std::pair<const char *, const char *>> {};

TEST_P(HostProgramErrors, OneLineAndExitCodeOne) {
  host_test::ScratchDir dir;
  const auto r = RunVsthost({"render", Fixture(GetParam().first), "out.wav"}, dir);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find(GetParam().second), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.wav")));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, HostProgramErrors,
                         ::testing::Values(std::make_pair("missing_file", "no such file"),
                                           std::make_pair("fixture_no_entry", "no entry point"),
                                           std::make_pair("fixture_null_entry", "returned no effect"),
                                           std::make_pair("fixture_bad_magic", "wrong magic")),
                         [](const auto &info) { return std::string(info.param.first); });

TEST(HostProgram, TextFileAndUsageErrors) {
  host_test::ScratchDir dir;
  std::ofstream(dir.File("text.so")) << "hello\n";
  auto r = RunVsthost({"info", dir.File("text.so")}, dir);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("not a loadable shared library"), std::string::npos) << r.err;
  r = RunVsthost({"render", "--block", "0", "a", "b"}, dir);
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("--block"), std::string::npos) << r.err;
}

TEST(HostProgram, RenderThroughTheProbeWritesTheGainedSignal) {
  host_test::ScratchDir dir;
  const auto r = RunVsthost({"render", Fixture("fixture_probe"), "out.wav", "--param", "0=0.5", "--seconds", "0.5",
                      "--block", "100"},
                     dir);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto out = vsthost::ReadWav(dir.File("out.wav"));
  ASSERT_EQ(out.samples.Frames(), 22050);
  // Input again from the built-in signal of the same length.
  vsthost::WriteWav(dir.File("dummy.wav"), out);
  const auto again = RunVsthost({"render", Fixture("fixture_probe"), "out.wav", "twice.wav", "--param-text", "0=2"}, dir);
  ASSERT_EQ(again.exitCode, 0) << again.err;
  const auto twice = vsthost::ReadWav(dir.File("twice.wav"));
  ASSERT_EQ(twice.samples.Frames(), 22050);
  bool nonzero = false;
  for (int i = 0; i < 22050; ++i) {
    ASSERT_EQ(twice.samples.Channel(0)[i], out.samples.Channel(0)[i] * 2.0f) << i;
    nonzero = nonzero || out.samples.Channel(0)[i] != 0.0f;
  }
  EXPECT_TRUE(nonzero);
}

TEST(HostProgram, InfoListsTheWholeCanDoTable) {
  host_test::ScratchDir dir;
  const auto r = RunVsthost({"info", Fixture("fixture_probe")}, dir);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("'Prbe' (0x50726265)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("flags         0x00000010: can replacing"), std::string::npos) << r.out;
  for (const char *text : vst2::kPlugCanDos) EXPECT_NE(r.out.find(text), std::string::npos) << text;
  // The probe says yes to "2in2out" only.
  std::istringstream lines(r.out);
  int yes = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.size() > 5 && line.compare(line.size() - 5, 5, "  yes") == 0) {
      ++yes;
      EXPECT_NE(line.find("2in2out "), std::string::npos) << line;
    }
  }
  EXPECT_EQ(yes, 1) << r.out;
}

TEST(HostProgram, SnapshotOfAPluginWithoutEditorSaysSo) {
  host_test::ScratchDir dir;
  const auto r = RunVsthost({"snapshot", Fixture("fixture_probe"), "x.png"}, dir);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("has no editor"), std::string::npos) << r.err;
}

TEST(HostProgram, DemoWithoutPluginsReportsAndSucceeds) {
  host_test::ScratchDir dir;
  const auto r = RunVsthost({"demo", "--plugins", dir.File("none")}, dir);
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Twirlix is not built yet"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Quorlin is not built yet"), std::string::npos) << r.out;
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("out")));
}

} // namespace

namespace {

// The main job against the real plug-ins, when they are built beside us.
TEST(HostDemo, WithTheBuiltPlugins) {
  const std::string dir = NIMBREL_PLUGIN_DIR;
  if (!std::filesystem::exists(dir + "/Twirlix.so") || !std::filesystem::exists(dir + "/Quorlin.so"))
    GTEST_SKIP() << "Twirlix.so and Quorlin.so are not built in " << dir;
  host_test::ScratchDir scratch;
  const auto r = RunVsthost({"demo", "--plugins", dir}, scratch);
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("output equals input bit for bit"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("not at the LFO's"), std::string::npos) << r.out;
  int wavs = 0;
  for (const auto &entry : std::filesystem::directory_iterator(scratch.Path() / "out"))
    wavs += entry.path().extension() == ".wav" && entry.path().filename().string().rfind("twirlix-", 0) == 0;
  EXPECT_EQ(wavs, 6);
}

} // namespace
