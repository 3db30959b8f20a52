// The loader's checks: every kind of bad file or record gives one clear line.
#include <fstream>

#include <gtest/gtest.h>

#include "Fixtures.h"
#include "host/HostLibrary.h"

namespace {

using host_test::Fixture;

struct BadCase {
  const char *fixture;
  const char *expected; // a part of the message
};

class HostLoadErrors : public ::testing::TestWithParam<BadCase> {};

TEST_P(HostLoadErrors, RejectsWithOneLineMessage) {
  host::LoadOptions options;
  options.minInputs = 2;
  options.minOutputs = 2;
  const auto result = host::Plugin::TryLoad(Fixture(GetParam().fixture), options);
  ASSERT_FALSE(result);
  EXPECT_NE(result.error.find(GetParam().expected), std::string::npos) << result.error;
  EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
  EXPECT_THROW(host::Plugin::Load(Fixture(GetParam().fixture), options), host::HostError);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, HostLoadErrors,
                         ::testing::Values(BadCase{"fixture_no_entry", "no entry point"},
                                           BadCase{"fixture_null_entry", "returned no effect"},
                                           BadCase{"fixture_bad_magic", "wrong magic 0x50747356"},
                                           BadCase{"fixture_no_dispatcher", "no dispatcher"},
                                           BadCase{"fixture_no_process", "no process entry"},
                                           BadCase{"fixture_absurd_counts", "absurd parameter count -3"},
                                           BadCase{"fixture_mono", "fewer channels than asked: 1 in, 1 out"},
                                           BadCase{"does_not_exist", "no such file"}),
                         [](const auto &info) { return std::string(info.param.fixture); });

TEST(HostLoadErrors, TextFileNamedLikeAPluginIsNoLibrary) {
  host_test::ScratchDir dir;
  const std::string path = dir.File("notes.so");
  std::ofstream(path) << "just some text, not an ELF file\n";
  const auto result = host::Plugin::TryLoad(path);
  ASSERT_FALSE(result);
  EXPECT_NE(result.error.find("not a loadable shared library"), std::string::npos) << result.error;
  EXPECT_EQ(result.error.find('\n'), std::string::npos);
}

TEST(HostLoadErrors, DirectoryIsNoPlugin) {
  host_test::ScratchDir dir;
  const auto result = host::Plugin::TryLoad(dir.Path().string());
  ASSERT_FALSE(result);
  EXPECT_NE(result.error.find("not a regular file"), std::string::npos) << result.error;
}

TEST(HostLoadErrors, SoundFixtureLoadsAndTheMonoOneOnlyWhenFewChannelsAreAsked) {
  auto sound = host::Plugin::TryLoad(Fixture("fixture_sound"), {2, 2, {}});
  ASSERT_TRUE(sound) << sound.error;
  EXPECT_EQ(host::FourCCText(sound.plugin->UniqueId()), "Flty");
  auto mono = host::Plugin::TryLoad(Fixture("fixture_mono"), {1, 1, {}});
  ASSERT_TRUE(mono) << mono.error;
  EXPECT_EQ(mono.plugin->NumInputs(), 1);
}

} // namespace
