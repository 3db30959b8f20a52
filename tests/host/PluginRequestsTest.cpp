// The typed requests against the probe plug-in: texts, parameters, audio.
#include <gtest/gtest.h>

#include "Fixtures.h"
#include "host/HostLibrary.h"

namespace {

using host_test::Fixture;

class HostRequests : public ::testing::Test {
protected:
  void SetUp() override {
    plugin = host::Plugin::Load(Fixture("fixture_probe"));
    plugin->Open();
  }
  std::unique_ptr<host::Plugin> plugin;
};

TEST_F(HostRequests, OverlongTextsAreCutAndTerminated) {
  // The probe fills 1024 bytes with no terminator.
  const std::string name = plugin->ParameterName(0);
  EXPECT_EQ(name, std::string(1023, 'n'));
  EXPECT_EQ(plugin->EffectName(), std::string(1023, 'e'));
  EXPECT_EQ(plugin->ParameterLabel(1), "dB");
}

TEST_F(HostRequests, ParameterIndexOutsideTheRecordIsRefusedBeforeThePluginSeesIt) {
  for (int bad : {-1, 2, 1 << 30}) {
    EXPECT_THROW(plugin->Parameter(bad), host::HostError) << bad;
    EXPECT_THROW(plugin->SetParameter(bad, 0.5f), host::HostError) << bad;
    EXPECT_THROW(plugin->ParameterDisplay(bad), host::HostError) << bad;
  }
}

TEST_F(HostRequests, ParameterRoundTripAndTextEntry) {
  plugin->SetParameter(0, 0.25f);
  EXPECT_EQ(plugin->Parameter(0), 0.25f);
  EXPECT_TRUE(plugin->SetParameterFromText(0, "0.75"));
  EXPECT_EQ(plugin->Parameter(0), 0.75f);
  EXPECT_FALSE(plugin->SetParameterFromText(0, "loud"));
  EXPECT_EQ(plugin->Parameter(0), 0.75f);
}

TEST_F(HostRequests, ProgramNames) {
  EXPECT_EQ(plugin->ProgramName(), "First");
  plugin->SetProgramName(std::string(100, 'p')); // cut to the interface's 24 bytes
  EXPECT_EQ(plugin->ProgramName(), std::string(vst2::kVstMaxProgNameLen - 1, 'p'));
  EXPECT_TRUE(plugin->ProgramNameIndexed(0).has_value());
  EXPECT_FALSE(plugin->ProgramNameIndexed(5).has_value());
}

TEST_F(HostRequests, CanDoAndVersions) {
  EXPECT_EQ(plugin->CanDo("2in2out"), 1);
  EXPECT_EQ(plugin->CanDo("bypass"), -1);
  EXPECT_EQ(plugin->VstVersion(), 2400);
  EXPECT_FALSE(plugin->InputProperties(0).has_value());
  EXPECT_FALSE(plugin->EditorRect().has_value());
  EXPECT_FALSE(plugin->OpenEditor()) << "no editor flag, no open request";
}

TEST_F(HostRequests, ProcessingAppliesTheGainAndAccumulates) {
  plugin->SetParameter(0, 0.5f);
  host::ChannelBuffers in(2, 64), out(2, 64);
  for (int i = 0; i < 64; ++i) {
    in.Channel(0)[i] = static_cast<float>(i);
    in.Channel(1)[i] = -static_cast<float>(i);
  }
  plugin->ProcessReplacing(in, out, 64);
  EXPECT_EQ(out.Channel(0)[10], 5.0f);
  EXPECT_EQ(out.Channel(1)[10], -5.0f);
  plugin->ProcessAccumulating(in, out, 64);
  EXPECT_EQ(out.Channel(0)[10], 10.0f);
  // A block shorter than the buffers leaves the rest alone; an empty one is fine.
  out.Clear();
  plugin->ProcessReplacing(in, out, 3);
  EXPECT_EQ(out.Channel(0)[2], 1.0f);
  EXPECT_EQ(out.Channel(0)[3], 0.0f);
  EXPECT_NO_THROW(plugin->ProcessReplacing(in, out, 0));
}

TEST_F(HostRequests, BuffersThatDoNotFitAreRefused) {
  host::ChannelBuffers mono(1, 64), stereo(2, 64), shortStereo(2, 16);
  EXPECT_THROW(plugin->ProcessReplacing(mono, stereo, 64), host::HostError);
  EXPECT_THROW(plugin->ProcessReplacing(stereo, mono, 64), host::HostError);
  EXPECT_THROW(plugin->ProcessReplacing(stereo, shortStereo, 64), host::HostError);
  EXPECT_THROW(plugin->ProcessReplacing(stereo, stereo, -1), host::HostError);
}

TEST_F(HostRequests, NothingReachesAClosedPlugin) {
  plugin->Close();
  EXPECT_TRUE(plugin->IsClosed());
  EXPECT_THROW(plugin->Dispatch(vst2::effGetProgram), host::HostError);
  EXPECT_THROW(plugin->Parameter(0), host::HostError);
  host::ChannelBuffers b(2, 8);
  EXPECT_THROW(plugin->ProcessReplacing(b, b, 8), host::HostError);
  EXPECT_NO_THROW(plugin->Close()) << "a second close is a no-op";
}

TEST(HostChannelBuffers, CopiesPointAtTheirOwnSamples) {
  host::ChannelBuffers a(2, 4);
  a.Channel(1)[3] = 7.0f;
  host::ChannelBuffers b = a;
  b.Channel(1)[3] = 9.0f;
  EXPECT_EQ(a.Pointers()[1][3], 7.0f);
  EXPECT_EQ(b.Pointers()[1][3], 9.0f);
  b = a;
  EXPECT_EQ(b.Pointers()[1][3], 7.0f);
  EXPECT_NE(b.Pointers()[1], a.Pointers()[1]);
}

} // namespace
