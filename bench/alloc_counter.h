// alloc_counter.h — counts heap allocations made on the calling thread between Start and Stop,
// for benchmarks that promise no allocation per frame. C++ allocations are always counted; C
// allocations (malloc, calloc, realloc: SDL, the GL driver) only in builds without
// AddressSanitizer, which owns malloc there. Link bench_alloc_counter to replace the allocators.
#pragma once

namespace alloc_counter {

struct Counts {
  long long cxx = 0;  // operator new and new[]
  long long c = 0;    // malloc, calloc, realloc
};

bool CountsCAllocations();  // false in sanitizer builds
void Start();               // begin counting on this thread, from zero
Counts Stop();              // stop counting on this thread; what was counted since Start

}  // namespace alloc_counter
