#pragma once
// A lock-free triple buffer: one writer publishes whole values, one reader
// takes up the latest published value when it chooses. Neither side ever
// waits or allocates; a value the reader holds is never written under it.
//
// Writer: fill Back(), then Publish(). Reader: TakeUp() (true when a newer
// value arrived), then read Front(). Exactly one writer thread at a time and
// one reader thread at a time.
#include <atomic>
#include <cstdint>

namespace nimbrel::twirlix {

template <class T> class TTripleBuffer {
public:
  explicit TTripleBuffer(const T &initial) : slots_{initial, initial, initial} {}
  TTripleBuffer(const TTripleBuffer &) = delete;
  TTripleBuffer &operator=(const TTripleBuffer &) = delete;

  T &Back() { return slots_[back_]; }

  void Publish() {
    back_ = static_cast<std::uint8_t>(middle_.exchange(static_cast<std::uint8_t>(back_ | kFresh),
                                                       std::memory_order_acq_rel) &
                                      kIndex);
  }

  bool TakeUp() {
    if ((middle_.load(std::memory_order_relaxed) & kFresh) == 0)
      return false;
    front_ = static_cast<std::uint8_t>(middle_.exchange(front_, std::memory_order_acq_rel) & kIndex);
    return true;
  }

  const T &Front() const { return slots_[front_]; }

private:
  static constexpr std::uint8_t kIndex = 0x3;
  static constexpr std::uint8_t kFresh = 0x4;

  T slots_[3];
  std::uint8_t back_ = 0;                // the writer's slot
  std::uint8_t front_ = 1;               // the reader's slot
  std::atomic<std::uint8_t> middle_{2};  // the slot in between, and whether it is new
};

} // namespace nimbrel::twirlix
