#include <gtest/gtest.h>

#include <cfloat>
#include <cstdint>

#include "core/Extended.h"
#include "core/FpuGuard.h"

namespace {

// One third computed in the current precision: the 53-bit and 64-bit results differ.
nimbrel::extended Third() {
  volatile nimbrel::extended one = 1, three = 3;
  return one / three;
}

#if NIMBREL_X86
TEST(FpuGuard, PrecisionGuardRestoresA53BitHostAndComputesInExtended) {
  const std::uint16_t original = nimbrel::ReadX87ControlWord();
  const std::uint16_t host53 = static_cast<std::uint16_t>((original & ~0x0300u) | 0x0200u);
  nimbrel::WriteX87ControlWord(host53);
  const nimbrel::extended at53 = Third();
  nimbrel::extended inside;
  {
    nimbrel::PrecisionGuard guard;
    EXPECT_EQ(nimbrel::ReadX87ControlWord() & 0x0300u, 0x0300u);
    inside = Third();
  }
  EXPECT_EQ(nimbrel::ReadX87ControlWord(), host53);
  nimbrel::WriteX87ControlWord(original);
  if (nimbrel::kHasExtended) {
    EXPECT_NE(at53, inside);
    EXPECT_EQ(inside, Third());
  }
}

TEST(FpuGuard, AudioGuardFlushesSubnormalsAndRestoresTheHostState) {
  const unsigned original = _mm_getcsr();
  volatile float tiny = FLT_MIN;
  float quarter;
  {
    nimbrel::AudioFpuGuard guard;
    EXPECT_EQ(_mm_getcsr() & 0x8040u, 0x8040u);
    quarter = tiny * 0.25f; // subnormal result, flushed
  }
  EXPECT_EQ(_mm_getcsr(), original);
  EXPECT_EQ(quarter, 0.0f);
  EXPECT_NE(tiny * 0.25f, 0.0f);
}
#endif

} // namespace
