// The host against two freely licensed plug-ins from Debian, loaded as any
// host would load them. Skipped when the packages are not installed.
#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

#include "host/HostLibrary.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

struct ThirdParty {
  const char *package;
  const char *path;
  // The plug-in's shell loads a core library of its own and unloads it on
  // close without freeing what it allocated there; the leak checker would
  // blame us for memory it can no longer see. Not ours to fix.
  bool leaksOnUnload;
};

// Ignores allocations made while alive, when the leak checker is built in.
class ThirdPartyLeakScope {
public:
  explicit ThirdPartyLeakScope(bool active) : active_(active) {
#if defined(__SANITIZE_ADDRESS__)
    if (active_) __lsan_disable();
#endif
  }
  ~ThirdPartyLeakScope() {
#if defined(__SANITIZE_ADDRESS__)
    if (active_) __lsan_enable();
#endif
  }

private:
  [[maybe_unused]] bool active_;
};

class HostThirdPartyPlugin : public ::testing::TestWithParam<ThirdParty> {
protected:
  void SetUp() override {
    if (!std::filesystem::exists(GetParam().path))
      GTEST_SKIP() << GetParam().path << " missing: install the Debian package " << GetParam().package;
  }
};

TEST_P(HostThirdPartyPlugin, LoadDescribeAutomateProcessClose) {
  host::LoadOptions options;
  options.minInputs = 2;
  options.minOutputs = 2;
  ThirdPartyLeakScope leaks(GetParam().leaksOnUnload);
  auto plugin = host::Plugin::Load(GetParam().path, options);
  plugin->Open();
  plugin->SetSampleRate(48000.0f);
  plugin->SetBlockSize(256);

  EXPECT_FALSE(plugin->EffectName().empty());
  EXPECT_FALSE(plugin->VendorString().empty());
  EXPECT_EQ(plugin->VstVersion(), 2400);
  ASSERT_GT(plugin->NumParameters(), 0);
  for (int i = 0; i < plugin->NumParameters(); ++i) {
    EXPECT_FALSE(plugin->ParameterName(i).empty()) << i;
    plugin->ParameterDisplay(i);
    plugin->ParameterLabel(i);
  }

  // A parameter round trip on the last parameter: the value comes back, and
  // the display text follows it.
  const int last = plugin->NumParameters() - 1;
  plugin->SetParameter(last, 0.0f);
  const std::string low = plugin->ParameterDisplay(last);
  plugin->SetParameter(last, 1.0f);
  EXPECT_NEAR(plugin->Parameter(last), 1.0f, 1e-3f);
  EXPECT_NE(plugin->ParameterDisplay(last), low);
  plugin->SetParameter(last, 0.5f);
  EXPECT_NEAR(plugin->Parameter(last), 0.5f, 0.02f);

  plugin->Resume();
  host::ChannelBuffers in(plugin->NumInputs(), 256), out(plugin->NumOutputs(), 256);
  for (int c = 0; c < in.Channels(); ++c)
    for (int i = 0; i < 256; ++i) in.Channel(c)[i] = 0.5f * std::sin(0.05f * static_cast<float>(i));
  double energy = 0;
  for (int block = 0; block < 40; ++block) {
    plugin->ProcessReplacing(in, out, 256);
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < 256; ++i) {
        ASSERT_TRUE(std::isfinite(out.Channel(c)[i]));
        energy += out.Channel(c)[i] * out.Channel(c)[i];
      }
  }
  EXPECT_GT(energy, 0.0) << "a sine went in, silence came out";
  plugin->Suspend();
  plugin->Close();
  EXPECT_TRUE(plugin->IsClosed());
}

INSTANTIATE_TEST_SUITE_P(Debian, HostThirdPartyPlugin,
                         ::testing::Values(ThirdParty{"dpf-plugins-vst", "/usr/lib/vst/PingPongPan-vst.so", false},
                                           ThirdParty{"lsp-plugins-vst",
                                                      "/usr/lib/vst/lsp-plugins/comp-delay-stereo.so", true}),
                         [](const auto &info) { return std::string(info.param.package[0] == 'd' ? "Dpf" : "Lsp"); });

} // namespace
