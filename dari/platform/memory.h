// The size check every container runs before it allocates a block.
//
// On a system that overcommits memory, a block larger than the machine can hold
// may be handed out and then kill the process on first touch. Containers
// therefore refuse, before allocating, any block beyond a ceiling: the machine's
// physical memory unless a test lowers it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dari::detail {

// True when Count elements of ElemSize bytes can be asked for: the byte count
// does not overflow, fits a ptrdiff_t and stays within the allocation ceiling.
bool BlockFits(uint64_t Count, size_t ElemSize);

// The ceiling in bytes (the physical memory; SIZE_MAX when unknown).
size_t AllocationCeiling();

// Lowers the ceiling, so tests can reach the out-of-memory paths with small
// sizes; 0 restores the default.
void SetAllocationCeiling(size_t Bytes);

}  // namespace dari::detail
