#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> gArmed{false};
std::atomic<std::size_t> gCount{0};
} // namespace

// Replacements of the plain global allocation functions; the array and nothrow
// forms of the standard library forward to these.
void* operator new(std::size_t size) {
  if (gArmed.load(std::memory_order_relaxed))
    gCount.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size))
    return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace nimbrel::test {

AllocationWatch::AllocationWatch() {
  gCount.store(0);
  gArmed.store(true);
}
AllocationWatch::~AllocationWatch() { gArmed.store(false); }
std::size_t AllocationWatch::Count() const { return gCount.load(); }

} // namespace nimbrel::test
