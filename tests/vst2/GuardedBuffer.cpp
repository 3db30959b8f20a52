#include "GuardedBuffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace vst2test {

TGuardedBuffer::TGuardedBuffer(std::size_t size, char fill) : FSize(size) {
  const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const std::size_t dataPages = (size + page - 1) / page;
  FMapSize = (dataPages + 1) * page;
  FMap = mmap(nullptr, FMapSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (FMap == MAP_FAILED)
    throw std::runtime_error("mmap failed");
  char *guard = static_cast<char *>(FMap) + dataPages * page;
  if (mprotect(guard, page, PROT_NONE) != 0)
    throw std::runtime_error("mprotect failed");
  FData = guard - size;
  std::memset(FData, fill, size);
}

TGuardedBuffer::~TGuardedBuffer() { munmap(FMap, FMapSize); }

} // namespace vst2test
