// Counting the heap allocations of a stretch of code (alloc_counter.cpp replaces the global operator new of the
// executable it is linked into): the frame benchmarks and the steady-frame check, whose goal is none in a frame.
#pragma once

#include <atomic>

extern std::atomic<long> Alloc_Count;    // operator new calls while Alloc_Counting was true
extern std::atomic<bool> Alloc_Counting; // true: each operator new adds one to Alloc_Count
