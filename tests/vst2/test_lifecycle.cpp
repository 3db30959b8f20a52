// Construction order, the entry glue and closing, seen from the host side.
#include <algorithm>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TestModule.h"

using namespace vst2test;
using ::testing::ElementsAre;

namespace {

class Lifecycle : public TModuleTest {};

TEST_F(Lifecycle, ConstructionRunsInItsOrder) {
  Open();
  // Program 0 is selected with every value still 0 (each handler sees 0 once,
  // in index order), then OnInitialize, then OnCreate, then the connection.
  EXPECT_THAT(Log(), ElementsAre("change 0 0", "change 1 0", "change 2 0", "change 3 0", "initialize",
                                 "create program 0", "create done", "host 1 0 0"));
  // No display refresh at construction: no host was held yet.
  ASSERT_EQ(HostCalls().size(), 1u);
  EXPECT_EQ(HostCalls()[0].opcode, vst2::audioMasterVersion);
}

TEST_F(Lifecycle, RecordDescribesTheModule) {
  Open();
  EXPECT_EQ(effect->magic, vst2::kEffectMagic);
  EXPECT_EQ(effect->numPrograms, 3);
  EXPECT_EQ(effect->numParams, 4);
  EXPECT_EQ(effect->numInputs, 2);
  EXPECT_EQ(effect->numOutputs, 2);
  EXPECT_EQ(effect->flags, vst2::effFlagsHasEditor | vst2::effFlagsCanReplacing);
  EXPECT_EQ(effect->uniqueID, 0x5473744D); // "TstM", first character most significant
  EXPECT_EQ(effect->version, 1);
  EXPECT_EQ(effect->initialDelay, 0);
  EXPECT_EQ(effect->object, effect->user);
  EXPECT_NE(effect->processReplacing, nullptr);
  EXPECT_EQ(effect->processDoubleReplacing, nullptr);
  EXPECT_EQ(Dispatch(effect, vst2::effGetProgram), 0);
  // The stored program values came from OnInitialize, and the current
  // program's stored values are the current parameter values; its handlers ran
  // only with the zeros applied before it.
  EXPECT_EQ(Module().ProgramValue(0, 1), 8.0f);
  EXPECT_EQ(Module().GetParameter(1), 8.0f);
  EXPECT_EQ(Module().ProgramValue(1, 1), 16.0f);
  EXPECT_EQ(Module().SampleRate(), 44100.0f);
  EXPECT_EQ(Module().BlockSize(), 1024);
}

TEST_F(Lifecycle, HostAnsweringVersionZeroGetsNoRecordAndModuleIsReleased) {
  HostVersion() = 0;
  EXPECT_EQ(MakeEffect(), nullptr);
  // Construction had finished, so the module was shut down and deleted.
  ASSERT_GE(Log().size(), 3u);
  EXPECT_EQ(Log()[Log().size() - 2], "destroy");
  EXPECT_EQ(Log().back(), "deleted");
}

TEST_F(Lifecycle, NullHostCallbackGetsNoRecord) {
  EXPECT_EQ(MakeEffect(nullptr), nullptr);
  EXPECT_EQ(Log().back(), "deleted");
}

TEST_F(Lifecycle, ErrorInConstructionGivesNull) {
  Options().throwInConstructor = true;
  EXPECT_EQ(MakeEffect(), nullptr);
  EXPECT_TRUE(Log().empty()); // nothing ran, nothing to destroy
}

TEST_F(Lifecycle, ErrorInOnCreateIsTrapped) {
  Options().throwInCreate = true;
  Open();
  EXPECT_EQ(Log().back(), "host 1 0 0");
  EXPECT_EQ(std::count(Log().begin(), Log().end(), "create done"), 0);
}

TEST_F(Lifecycle, CloseDestroysThenDeletes) {
  Open();
  ClearLog();
  EXPECT_EQ(Dispatch(effect, vst2::effClose), 1);
  effect = nullptr;
  EXPECT_THAT(Log(), ElementsAre("destroy", "deleted"));
}

TEST_F(Lifecycle, EntriesRefuseNullAndForeignRecords) {
  vst2::AEffect foreign{};
  foreign.magic = 0x12345678;
  Open();
  for (vst2::AEffect *e : {static_cast<vst2::AEffect *>(nullptr), &foreign}) {
    EXPECT_EQ(effect->dispatcher(e, vst2::effGetVstVersion, 0, 0, nullptr, 0), 0);
    effect->setParameter(e, 0, 0.5f);
    EXPECT_EQ(effect->getParameter(e, 0), 0.0f);
    float *none[2] = {nullptr, nullptr};
    effect->processReplacing(e, none, none, 16);
    effect->process(e, none, none, 16);
  }
  EXPECT_EQ(Dispatch(effect, vst2::effGetVstVersion), 2400); // the real record still answers
}

} // namespace
