// The recording host callback: routing, answers and thread-safe recording.
#include <cstring>

#include <gtest/gtest.h>

#include "Fixtures.h"
#include "host/HostLibrary.h"

namespace {

using host_test::Fixture;

TEST(HostCallbacks, EntryCallsAreRecordedForThePluginBeingLoaded) {
  auto plugin = host::Plugin::Load(Fixture("fixture_probe"));
  const auto records = plugin->Callbacks().Records();
  ASSERT_GE(records.size(), 2u);
  // The version question came with a null record, the next with one the host
  // did not know yet: both belong to this plug-in.
  EXPECT_EQ(records[0].opcode, vst2::audioMasterVersion);
  EXPECT_EQ(records[0].answer, 2400);
  EXPECT_EQ(records[1].opcode, vst2::audioMasterCurrentId);
}

TEST(HostCallbacks, VersionAnswerOfZeroIsRefusedByTheProbe) {
  host::LoadOptions options;
  options.answers.vstVersion = 0;
  const auto result = host::Plugin::TryLoad(Fixture("fixture_probe"), options);
  ASSERT_FALSE(result);
  EXPECT_NE(result.error.find("returned no effect"), std::string::npos) << result.error;
}

TEST(HostCallbacks, CallsAfterLoadGoToTheirOwnPlugin) {
  auto a = host::Plugin::Load(Fixture("fixture_probe"));
  auto b = host::Plugin::Load(Fixture("fixture_probe"));
  a->Callbacks().Clear();
  b->Callbacks().Clear();
  a->Resume(); // the probe announces that it wants MIDI
  EXPECT_EQ(a->Callbacks().Count(vst2::audioMasterWantMidi), 1u);
  EXPECT_EQ(b->Callbacks().Size(), 0u);
}

TEST(HostCallbacks, RecordingFromManyThreadsLosesNothing) {
  auto plugin = host::Plugin::Load(Fixture("fixture_probe"));
  plugin->Callbacks().Clear();
  ASSERT_EQ(plugin->Dispatch(vst2::effVendorSpecific, vst2::FourCC('P', 'r', 'b', 'e')), 1);
  const auto automations = plugin->Callbacks().Records(vst2::audioMasterAutomate);
  ASSERT_EQ(automations.size(), 4u * 500u);
  // Every thread's sequence arrived complete and in its own order.
  std::vector<vst2::VstIntPtr> next(4, 0);
  for (const auto &r : automations) {
    ASSERT_GE(r.index, 0);
    ASSERT_LT(r.index, 4);
    EXPECT_EQ(r.value, next[static_cast<std::size_t>(r.index)]++);
    EXPECT_EQ(r.opt, 0.5f);
  }
}

TEST(HostCallbacks, AnswerTable) {
  host::HostAnswers answers;
  answers.vendor = std::string(200, 'v'); // longer than the interface's buffer
  answers.overrides[vst2::audioMasterGetTime] = 0;
  answers.overrides[vst2::audioMasterCurrentId] = 77;
  host::CallbackRecorder recorder(answers);

  char vendor[vst2::kVstMaxVendorStrLen + 8];
  std::memset(vendor, 'x', sizeof vendor);
  EXPECT_EQ(recorder.Handle(vst2::audioMasterGetVendorString, 0, 0, vendor, 0), 1);
  EXPECT_EQ(std::strlen(vendor), vst2::kVstMaxVendorStrLen - 1);
  EXPECT_EQ(vendor[vst2::kVstMaxVendorStrLen], 'x') << "wrote past the interface's buffer";

  EXPECT_EQ(recorder.Handle(vst2::audioMasterCurrentId, 0, 0, nullptr, 0), 77);
  EXPECT_EQ(recorder.Handle(vst2::audioMasterGetVendorString, 0, 0, nullptr, 0), 0) << "null buffer";
  char canDo[] = "sizeWindow";
  EXPECT_EQ(recorder.Handle(vst2::audioMasterCanDo, 0, 0, canDo, 0), 1);
  char unknown[] = "sendVstMidiEvent";
  EXPECT_EQ(recorder.Handle(vst2::audioMasterCanDo, 0, 0, unknown, 0), 0);
  EXPECT_EQ(recorder.Records(vst2::audioMasterCanDo).back().text, "sendVstMidiEvent");
  EXPECT_EQ(recorder.Handle(12345, 0, 0, nullptr, 0), 0) << "unknown opcode";
  EXPECT_EQ(recorder.Size(), 6u);
}

TEST(HostCallbacks, UnknownRecordsGoToTheOrphans) {
  const std::size_t before = host::OrphanCallbacks().Size();
  vst2::AEffect stranger{};
  host::RecordingHostCallback(&stranger, vst2::audioMasterIdle, 0, 0, nullptr, 0);
  EXPECT_EQ(host::OrphanCallbacks().Size(), before + 1);
}

} // namespace
