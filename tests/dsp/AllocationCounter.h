#pragma once
// Counts calls to the global operator new while armed, so tests can show that a
// code path allocates nothing.
#include <cstddef>

namespace nimbrel::test {

// Number of global allocations made while an AllocationWatch is alive.
class AllocationWatch {
public:
  AllocationWatch();
  ~AllocationWatch();
  AllocationWatch(const AllocationWatch&) = delete;
  AllocationWatch& operator=(const AllocationWatch&) = delete;
  std::size_t Count() const;
};

} // namespace nimbrel::test
