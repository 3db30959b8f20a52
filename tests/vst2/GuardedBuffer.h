#pragma once
// A buffer whose last byte is the last byte of a readable page: the page after
// it is inaccessible, so any access past the end faults at once.
#include <cstddef>

namespace vst2test {

class TGuardedBuffer {
public:
  explicit TGuardedBuffer(std::size_t size, char fill = '\x7f');
  ~TGuardedBuffer();
  TGuardedBuffer(const TGuardedBuffer &) = delete;
  TGuardedBuffer &operator=(const TGuardedBuffer &) = delete;
  char *data() { return FData; }
  std::size_t size() const { return FSize; }

private:
  void *FMap = nullptr;
  std::size_t FMapSize = 0;
  char *FData = nullptr;
  std::size_t FSize = 0;
};

} // namespace vst2test
