// Counts the heap memory that operator new hands out, allocator overhead
// included, so a benchmark can report the peak a run needed.
#pragma once

#include <cstdint>

namespace HeapCounter {
// Bytes in use now.
uint64_t Current();
// The most in use since the last ResetPeak.
uint64_t Peak();
void ResetPeak();
}  // namespace HeapCounter
