// Parameter values through the record: the mappings and their rounding, the
// re-entry guard, the index errors and the automation notice.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "TestModule.h"

using namespace vst2test;
using ::testing::ElementsAre;

namespace {

float Bits(std::uint32_t b) { return std::bit_cast<float>(b); }

class Parameters : public TOpenedModuleTest {};

struct TMapCase {
  int index;
  float normalized;
  float expected;
};

TEST_F(Parameters, HostValueToUnitsInExtendedPrecisionWithoutClamping) {
  const TMapCase cases[] = {
      {0, 0.5f, 0.0f},
      {0, 0.25f, -6.0f},
      {1, 0.5f, 16.5f},  // not rounded to a whole step
      {1, 0.1f, Bits(0x40833333)}, // float arithmetic would give 0x40833334
      {3, Bits(0x3ed583e8), Bits(0x3e5583e9)}, // float arithmetic would give ...ea
      {1, 1.5f, 47.5f},  // outside 0..1: mapped, not clamped
      {1, -0.5f, -14.5f},
      {2, 1.0f, 13.0f},
  };
  for (const auto &c : cases) {
    effect->setParameter(effect, c.index, c.normalized);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(Module().GetParameter(c.index)), std::bit_cast<std::uint32_t>(c.expected))
        << "parameter " << c.index << " normalized " << c.normalized;
  }
}

struct TBackCase {
  int index;
  float value;
  float expected;
};

TEST_F(Parameters, UnitsToHostValueRoundedAndClamped) {
  const TBackCase cases[] = {
      {1, 16.5f, 0.5f},
      {0, -6.0f, 0.25f},
      {3, Bits(0x3e5f3ab9), Bits(0x3edf3ab8)}, // float arithmetic would give ...b7
      {1, 47.5f, 1.0f},                         // clamped
      {1, -14.5f, 0.0f},
  };
  for (const auto &c : cases) {
    Module().SetParameter(c.index, c.value);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(effect->getParameter(effect, c.index)),
              std::bit_cast<std::uint32_t>(c.expected))
        << "parameter " << c.index << " value " << c.value;
  }
  for (int bad : {4, 100, -1, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()})
    EXPECT_EQ(effect->getParameter(effect, bad), 0.0f) << bad;
}

TEST_F(Parameters, HostSetParameterRunsTheHandlerWithoutNotice) {
  effect->setParameter(effect, 1, 0.5f);
  EXPECT_THAT(Log(), ElementsAre("change 1 16.5"));
  EXPECT_TRUE(HostCalls().empty());
  // The value is written into the current program as well.
  EXPECT_EQ(Module().ProgramValue(0, 1), 16.5f);
}

TEST_F(Parameters, HostSetParameterIgnoresBadIndexAndNonNumbers) {
  Module().SetParameter(2, 6.5f);
  ClearLog();
  for (int bad : {4, -1, 1 << 30})
    effect->setParameter(effect, bad, 0.5f);
  effect->setParameter(effect, 2, std::numeric_limits<float>::quiet_NaN());
  effect->setParameter(effect, 2, std::numeric_limits<float>::infinity());
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(Module().GetParameter(2), 6.5f);
}

TEST_F(Parameters, IndexOutOfBoundsIsAnErrorWithItsMessage) {
  for (int bad : {4, -1}) {
    try {
      Module().SetParameter(bad, 1.0f);
      ADD_FAILURE() << "no error for index " << bad;
    } catch (const vst2::EVstError &e) {
      EXPECT_STREQ(e.what(), "Index out of bounds");
    }
  }
  EXPECT_THROW(Module().SetProgramValue(0, 4, 1.0f), vst2::EVstError);
  EXPECT_THROW(Module().SetProgramValue(3, 0, 1.0f), vst2::EVstError);
  EXPECT_THROW(Module().SetProgramValue(-1, 0, 1.0f), vst2::EVstError);
  // SetParameterAutomated ignores an index past the list before that.
  EXPECT_NO_THROW(Module().SetParameterAutomated(4, 1.0f));
  EXPECT_TRUE(Log().empty());
  EXPECT_TRUE(HostCalls().empty());
  // The guard was cleared after the failure: the next call goes through.
  Module().SetParameter(0, 3.0f);
  EXPECT_THAT(Log(), ElementsAre("change 0 3"));
}

TEST_F(Parameters, ProgramValueStoreRunsNoHandler) {
  Module().SetProgramValue(2, 1, 30.0f);
  EXPECT_EQ(Module().ProgramValue(2, 1), 30.0f);
  EXPECT_TRUE(Log().empty());
}

TEST_F(Parameters, AutomatedSetsThenNotifiesWithNormalizedValue) {
  Module().SetParameterAutomated(1, 16.5f);
  EXPECT_THAT(Log(), ElementsAre("change 1 16.5", "host 0 1 0.5"));
  ClearLog();
  // A parameter that cannot be automated sends no notice.
  Module().SetParameterAutomated(3, 0.25f);
  EXPECT_THAT(Log(), ElementsAre("change 3 0.25"));
}

TEST_F(Parameters, ReentryIsSwallowedButTheNoticeStillGoes) {
  Close();
  Options().echoFromChangeOf = 2;
  Open();
  ClearLog();
  // The handler of 2 calls SetParameterAutomated(2, value + 1): the guard
  // swallows the store and the handler, but the host still hears of 7.5.
  effect->setParameter(effect, 2, 0.5f); // 6.5 Hz
  EXPECT_THAT(Log(), ElementsAre("change 2 6.5", "host 0 2 " + Fmt(static_cast<float>(7.5L / 13.0L))));
  EXPECT_EQ(Module().GetParameter(2), 6.5f);
}

TEST_F(Parameters, FailingHandlerIsTrappedAtTheEntryAndClearsTheGuard) {
  Close();
  Options().throwInChangeOf = 0;
  Open();
  ClearLog();
  effect->setParameter(effect, 0, 1.0f); // throws inside, must not escape
  effect->setParameter(effect, 1, 0.0f);
  EXPECT_THAT(Log(), ElementsAre("change 0 12", "change 1 1"));
  EXPECT_EQ(Module().GetParameter(0), 12.0f); // stored before the handler ran
}

// The second framework copy: guarded as a whole, notice before the handler,
// and the host's set-parameter goes through SetParameterAutomated.
class SecondCopyParameters : public TModuleTest {};

TEST_F(SecondCopyParameters, NoticeComesBeforeTheHandler) {
  Options().variant2 = true;
  Open();
  ClearLog();
  effect->setParameter(effect, 1, 0.5f);
  EXPECT_THAT(Log(), ElementsAre("host 0 1 0.5", "change 1 16.5"));
  EXPECT_EQ(Dispatch(effect, vst2::effGetVstVersion), 2300);
}

TEST_F(SecondCopyParameters, ReentrySwallowsTheWholeCall) {
  Options().variant2 = true;
  Options().echoFromChangeOf = 2;
  Open();
  ClearLog();
  Module().SetParameterAutomated(2, 6.5f);
  EXPECT_THAT(Log(), ElementsAre("host 0 2 0.5", "change 2 6.5"));
  ClearLog();
  Module().SetParameterAutomated(4, 1.0f);
  EXPECT_TRUE(Log().empty());
  EXPECT_THROW(Module().SetParameterAutomated(-1, 1.0f), vst2::EVstError);
}

TEST_F(SecondCopyParameters, WithoutOverwriteTheProgramKeepsItsValues) {
  Options().variant2 = true;
  Options().overwritePrograms = false;
  Open();
  Module().SetParameterAutomated(0, 5.0f);
  EXPECT_EQ(Module().GetParameter(0), 5.0f);
  EXPECT_EQ(Module().ProgramValue(0, 0), 0.0f);
  // Selecting another program and coming back restores the stored value.
  Dispatch(effect, vst2::effSetProgram, 0, 1);
  Dispatch(effect, vst2::effSetProgram, 0, 0);
  EXPECT_EQ(Module().GetParameter(0), 0.0f);
}

} // namespace
