#pragma once
// The latest values the spin module wrote into its editor from a thread other
// than the editor's, kept until the editor's thread takes them. Only the
// latest value of each control counts (a label shows one state), so later
// writes replace earlier ones and nothing queues up. Lock-free and free of
// allocation: a writer may be any host thread, the audio thread included.
//
// One writer at a time (the module serialises its handlers) and one taker
// (the editor's thread); a value written while the taker runs is kept for its
// next round.
#include <atomic>
#include <bit>
#include <cstdint>
#include <optional>

namespace nimbrel::twirlix {

class TSpinEditorMailbox {
public:
  struct TLfoSpeed {
    float X; // parameter value
    float F; // frequency, Hz
  };

  void PutProcessType(std::int32_t m) { type_.store(m, std::memory_order_release); }
  void PutCoefficientCount(std::int32_t n) { count_.store(n, std::memory_order_release); }
  void PutLfoSpeed(float x, float f) {
    speed_.store(Pack(x, f), std::memory_order_release);
  }

  // Take (and clear) what is pending.
  std::optional<std::int32_t> TakeProcessType() { return Take(type_); }
  std::optional<std::int32_t> TakeCoefficientCount() { return Take(count_); }
  std::optional<TLfoSpeed> TakeLfoSpeed() {
    const std::uint64_t v = speed_.exchange(kNoSpeed, std::memory_order_acq_rel);
    if (v == kNoSpeed)
      return std::nullopt;
    return TLfoSpeed{std::bit_cast<float>(static_cast<std::uint32_t>(v >> 32)),
                     std::bit_cast<float>(static_cast<std::uint32_t>(v))};
  }

  // Forget what is pending (a newer value was written on the editor's thread).
  void DropProcessType() { type_.store(kNone, std::memory_order_release); }
  void DropCoefficientCount() { count_.store(kNone, std::memory_order_release); }
  void DropLfoSpeed() { speed_.store(kNoSpeed, std::memory_order_release); }

private:
  // Accepted types are 1..10 and counts 1..32, so 0 marks "nothing".
  static constexpr std::int32_t kNone = 0;
  // Speeds are finite: a NaN pattern in the X half marks "nothing".
  static constexpr std::uint64_t kNoSpeed = ~std::uint64_t{0};

  static std::uint64_t Pack(float x, float f) {
    return (std::uint64_t{std::bit_cast<std::uint32_t>(x)} << 32) | std::bit_cast<std::uint32_t>(f);
  }
  static std::optional<std::int32_t> Take(std::atomic<std::int32_t> &slot) {
    const std::int32_t v = slot.exchange(kNone, std::memory_order_acq_rel);
    if (v == kNone)
      return std::nullopt;
    return v;
  }

  std::atomic<std::int32_t> type_{kNone};
  std::atomic<std::int32_t> count_{kNone};
  std::atomic<std::uint64_t> speed_{kNoSpeed};
};

} // namespace nimbrel::twirlix
