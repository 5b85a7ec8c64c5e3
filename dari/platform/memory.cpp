#include "dari/platform/memory.h"

#include <unistd.h>

#include <atomic>
#include <limits>

namespace dari::detail {
namespace {

size_t PhysicalMemoryBytes() {
  static const size_t bytes = [] {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return std::numeric_limits<size_t>::max();
    size_t total = 0;
    if (__builtin_mul_overflow(static_cast<size_t>(pages), static_cast<size_t>(pageSize), &total))
      return std::numeric_limits<size_t>::max();
    return total;
  }();
  return bytes;
}

std::atomic<size_t> gCeiling{0};  // 0: the physical memory

}  // namespace

size_t AllocationCeiling() {
  const size_t ceiling = gCeiling.load(std::memory_order_relaxed);
  return ceiling != 0 ? ceiling : PhysicalMemoryBytes();
}

void SetAllocationCeiling(size_t Bytes) { gCeiling.store(Bytes, std::memory_order_relaxed); }

bool BlockFits(uint64_t Count, size_t ElemSize) {
  uint64_t bytes = 0;
  if (__builtin_mul_overflow(Count, static_cast<uint64_t>(ElemSize), &bytes)) return false;
  if (bytes > static_cast<uint64_t>(std::numeric_limits<std::ptrdiff_t>::max())) return false;
  return bytes <= AllocationCeiling();
}

}  // namespace dari::detail
