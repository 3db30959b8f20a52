// Texts written to and read from host memory stay inside their bounds: each
// buffer ends at an inaccessible page, so one byte too far faults.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "GuardedBuffer.h"
#include "TestModule.h"

using namespace vst2test;

namespace {

class HostBuffers : public TModuleTest {
protected:
  std::string Request(vst2::VstInt32 opcode, vst2::VstInt32 index, std::size_t size) {
    TGuardedBuffer buf(size);
    Dispatch(effect, opcode, index, 0, buf.data());
    const char *end = static_cast<const char *>(std::memchr(buf.data(), '\0', size));
    EXPECT_NE(end, nullptr) << "no terminator inside the buffer";
    return end ? std::string(static_cast<const char *>(buf.data()), end) : std::string();
  }
};

TEST_F(HostBuffers, LongTextsAreCutToTheRequestsBufferSize) {
  Options().longDisplay = std::string(100, 'd');
  Open();
  const std::string longName(50, 'p');
  Dispatch(effect, vst2::effSetProgramName, 0, 0, const_cast<char *>(longName.c_str()));

  EXPECT_EQ(Request(vst2::effGetParamDisplay, 2, vst2::kVstMaxParamStrLen), std::string(23, 'd'));
  EXPECT_EQ(Request(vst2::effGetProgramName, 0, vst2::kVstMaxProgNameLen), std::string(23, 'p'));
  EXPECT_EQ(Request(vst2::effGetProgramNameIndexed, 0, vst2::kVstMaxProgNameLen), std::string(23, 'p'));
  // The module keeps the whole name; only the copy is cut.
  EXPECT_EQ(Module().ProgramName(0), longName);
}

TEST_F(HostBuffers, OwnTextsFitTheSmallestBuffers) {
  Open();
  struct {
    vst2::VstInt32 opcode;
    int index;
    std::size_t size;
    const char *text;
  } const cases[] = {
      {vst2::effGetParamName, 0, vst2::kVstMaxParamStrLen, "Gain"},
      {vst2::effGetParamLabel, 3, vst2::kVstMaxParamStrLen, "Rad"},
      {vst2::effGetParamDisplay, 0, vst2::kVstMaxParamStrLen, "0"},
      {vst2::effGetParamDisplay, 9, vst2::kVstMaxParamStrLen, "undefined"},
      {vst2::effGetProgramName, 0, vst2::kVstMaxProgNameLen, "Alpha"},
      {vst2::effGetEffectName, 0, vst2::kVstMaxEffectNameLen, "Testmodule"},
      {vst2::effGetVendorString, 0, vst2::kVstMaxVendorStrLen, "Test Vendor"},
      {vst2::effGetProductString, 0, vst2::kVstMaxProductStrLen, "Testmodule"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(Request(c.opcode, c.index, c.size), c.text) << c.opcode;
  // Display of a value with many digits fits 24 bytes as well (0.01 is the
  // current program's stored value).
  EXPECT_EQ(Request(vst2::effGetParamDisplay, 3, vst2::kVstMaxParamStrLen), "0.00999999977648258");
}

TEST_F(HostBuffers, CutNeverSplitsACharacter) {
  Options().longDisplay = std::string(22, 'x') + "\xC3\xA9\xC3\xA9"; // 22 + two two-byte characters
  Open();
  EXPECT_EQ(Request(vst2::effGetParamDisplay, 2, vst2::kVstMaxParamStrLen), std::string(22, 'x'));
}

TEST_F(HostBuffers, UnterminatedHostTextsAreReadOnlyToTheLimit) {
  Open();
  // 300 bytes with no terminator, ending at the guard page.
  TGuardedBuffer text(300, 'q');
  EXPECT_EQ(Dispatch(effect, vst2::effCanDo, 0, 0, text.data() + 300 - 256), 0);
  EXPECT_EQ(Dispatch(effect, vst2::effString2Parameter, 0, 0, text.data() + 300 - 256), 0);
  Dispatch(effect, vst2::effSetProgramName, 0, 0, text.data() + 300 - 256);
  EXPECT_EQ(Module().ProgramName(0), std::string(50, 'q'));
  // A short text right at the end of readable memory is read whole.
  TGuardedBuffer can(8);
  std::memcpy(can.data(), "2in2out", 8);
  EXPECT_EQ(Dispatch(effect, vst2::effCanDo, 0, 0, can.data()), 1);
}

} // namespace
