// alloc_counter.cpp — replaces the global allocation functions with thin wrappers that count,
// on the thread that asked, and hand over to the C library's allocator.
#include "alloc_counter.h"

#include <cstdlib>
#include <new>

namespace {
thread_local bool t_counting = false;
thread_local alloc_counter::Counts t_counts;
}  // namespace

namespace alloc_counter {
void Start() {
  t_counts = Counts{};
  t_counting = true;
}
Counts Stop() {
  t_counting = false;
  return t_counts;
}
}  // namespace alloc_counter

#if !defined(__SANITIZE_ADDRESS__)
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void __libc_free(void*);
void* malloc(std::size_t n) {
  if (t_counting) ++t_counts.c;
  return __libc_malloc(n);
}
void* calloc(std::size_t n, std::size_t k) {
  if (t_counting) ++t_counts.c;
  return __libc_calloc(n, k);
}
void* realloc(void* p, std::size_t n) {
  if (t_counting) ++t_counts.c;
  return __libc_realloc(p, n);
}
void free(void* p) {
  __libc_free(p);
}
}
bool alloc_counter::CountsCAllocations() {
  return true;
}
static void* RawAlloc(std::size_t n) {
  return __libc_malloc(n ? n : 1);
}
#else
bool alloc_counter::CountsCAllocations() {
  return false;
}
static void* RawAlloc(std::size_t n) {
  return std::malloc(n ? n : 1);
}
#endif

void* operator new(std::size_t n) {
  if (t_counting) ++t_counts.cxx;
  if (void* p = RawAlloc(n)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
  return operator new(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  if (t_counting) ++t_counts.cxx;
  return RawAlloc(n);
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept {
  return operator new(n, t);
}
// The pair of the allocator above: new takes from malloc, so delete gives back to free.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
#pragma GCC diagnostic pop
