// Program selection and program names through the dispatcher.
#include <gtest/gtest.h>

#include <cstring>

#include "TestModule.h"

using namespace vst2test;
using ::testing::ElementsAre;

namespace {

class Programs : public TOpenedModuleTest {
protected:
  int Refreshes() {
    int n = 0;
    for (const auto &c : HostCalls())
      n += c.opcode == vst2::audioMasterUpdateDisplay;
    return n;
  }
};

TEST_F(Programs, SelectionAppliesValuesInOrderThenRefreshes) {
  Dispatch(effect, vst2::effSetProgram, 0, 1);
  EXPECT_THAT(Log(), ElementsAre("change 0 6", "change 1 16", "change 2 2", "change 3 0.1", "host 42 0 0"));
  EXPECT_EQ(Dispatch(effect, vst2::effGetProgram), 1);
  EXPECT_EQ(Module().GetParameter(1), 16.0f);
}

TEST_F(Programs, SameOrOutOfRangeProgramIsNotServed) {
  const vst2::VstIntPtr requests[] = {0, 3, -1, vst2::VstIntPtr{1} << 40, (vst2::VstIntPtr{1} << 32) + 1};
  for (vst2::VstIntPtr p : requests)
    Dispatch(effect, vst2::effSetProgram, 0, p);
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(Refreshes(), 0);
  EXPECT_EQ(Dispatch(effect, vst2::effGetProgram), 0);
}

TEST_F(Programs, FailingHandlerEndsTheApplicationSilently) {
  Close();
  Options().throwInChangeOf = 1;
  Open();
  ClearLog();
  HostCalls().clear();
  Dispatch(effect, vst2::effSetProgram, 0, 2);
  EXPECT_THAT(Log(), ElementsAre("change 0 -6", "change 1 24", "host 42 0 0"));
  EXPECT_EQ(Dispatch(effect, vst2::effGetProgram), 2); // the program stays current
}

TEST_F(Programs, ChangesStayInTheirProgram) {
  effect->setParameter(effect, 0, 1.0f); // 12 dB into program 0
  Dispatch(effect, vst2::effSetProgram, 0, 1);
  Dispatch(effect, vst2::effSetProgram, 0, 0);
  EXPECT_EQ(Module().GetParameter(0), 12.0f);
  EXPECT_EQ(Module().ProgramValue(1, 0), 6.0f);
}

TEST_F(Programs, SecondCopyAppliesThroughAutomation) {
  Close();
  Options().variant2 = true;
  Open();
  ClearLog();
  Dispatch(effect, vst2::effSetProgram, 0, 1);
  ASSERT_EQ(Log().size(), 8u); // a notice and a change for 0..2, only a change for 3, the refresh
  EXPECT_EQ(Log()[0], "host 0 0 0.75");
  EXPECT_EQ(Log()[1], "change 0 6");
  EXPECT_EQ(Log()[6], "change 3 0.1");
  EXPECT_EQ(Log()[7], "host 42 0 0");
}

TEST_F(Programs, NamesByIndexAndOfTheCurrentProgram) {
  EXPECT_EQ(Text(vst2::effGetProgramName, 0), "Alpha");
  char name[64] = "untouched";
  EXPECT_EQ(Dispatch(effect, vst2::effGetProgramNameIndexed, 2, 0, name), 1);
  EXPECT_STREQ(name, "Gamma");
  for (int bad : {3, -1, 1 << 30}) {
    std::strcpy(name, "untouched");
    EXPECT_EQ(Dispatch(effect, vst2::effGetProgramNameIndexed, bad, 0, name), 0);
    EXPECT_STREQ(name, "untouched");
  }
  char renamed[] = "Renamed";
  Dispatch(effect, vst2::effSetProgramName, 0, 0, renamed);
  EXPECT_EQ(Text(vst2::effGetProgramName, 0), "Renamed");
  EXPECT_EQ(Module().ProgramName(1), "Beta");
}

TEST_F(Programs, NameKeepsFiftyCharacters) {
  const std::string longName(80, 'n');
  Dispatch(effect, vst2::effSetProgramName, 0, 0, const_cast<char *>(longName.c_str()));
  EXPECT_EQ(Module().ProgramName(0), std::string(50, 'n'));
}

} // namespace
