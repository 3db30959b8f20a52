#pragma once
// Scoped floating-point environment for code entered from a host thread.
//
// Hosts run their threads with whatever floating-point state they like. Two
// settings matter to us:
//  - the x87 precision control: Windows starts every thread at 53 bits, which
//    silently turns every `extended` computation into double. Code that relies
//    on extended precision sets 64 bits on entry and restores the host's control
//    word on exit (PrecisionGuard).
//  - denormals: subnormal runs make SSE arithmetic very slow. The audio entries
//    set flush-to-zero and denormals-are-zero for the block and restore the
//    host's MXCSR on exit (AudioFpuGuard, which also sets the precision).
// On targets without x87 or SSE the guards do nothing.
#include <cstdint>

#if defined(__i386__) || defined(__x86_64__)
#define NIMBREL_X86 1
#include <xmmintrin.h>
#endif

namespace nimbrel {

#if NIMBREL_X86
inline std::uint16_t ReadX87ControlWord() {
  std::uint16_t cw;
  __asm__ __volatile__("fnstcw %0" : "=m"(cw) : : "memory");
  return cw;
}
inline void WriteX87ControlWord(std::uint16_t cw) { __asm__ __volatile__("fldcw %0" : : "m"(cw) : "memory"); }
#endif

// Sets the x87 precision control to 64-bit mantissa for the guard's lifetime.
class PrecisionGuard {
public:
  PrecisionGuard() {
#if NIMBREL_X86
    saved_ = ReadX87ControlWord();
    const std::uint16_t wanted = static_cast<std::uint16_t>(saved_ | 0x0300u); // PC = 11b: 64 bits
    if (wanted != saved_)
      WriteX87ControlWord(wanted);
#endif
  }
  ~PrecisionGuard() {
#if NIMBREL_X86
    if (ReadX87ControlWord() != saved_)
      WriteX87ControlWord(saved_);
#endif
  }
  PrecisionGuard(const PrecisionGuard &) = delete;
  PrecisionGuard &operator=(const PrecisionGuard &) = delete;

private:
#if NIMBREL_X86
  std::uint16_t saved_ = 0;
#endif
};

// Extended precision plus flush-to-zero / denormals-are-zero for an audio block.
class AudioFpuGuard {
public:
  AudioFpuGuard() {
#if NIMBREL_X86
    saved_ = _mm_getcsr();
    const unsigned wanted = saved_ | 0x8040u; // FTZ (bit 15) | DAZ (bit 6)
    if (wanted != saved_)
      _mm_setcsr(wanted);
#endif
  }
  ~AudioFpuGuard() {
#if NIMBREL_X86
    if (_mm_getcsr() != saved_)
      _mm_setcsr(saved_);
#endif
  }
  AudioFpuGuard(const AudioFpuGuard &) = delete;
  AudioFpuGuard &operator=(const AudioFpuGuard &) = delete;

private:
  PrecisionGuard precision_;
#if NIMBREL_X86
  unsigned saved_ = 0;
#endif
};

} // namespace nimbrel
