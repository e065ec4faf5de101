// Replace on a 1 MiB text with 100,000 occurrences, and on a 1 MiB text where every replacement
// creates the next occurrence one character to its left. The rule Replace follows (rescan from
// the first character after each replacement), implemented directly, is measured on smaller
// texts of both kinds beside Replace on the same texts, for a ratio.
#include <benchmark/benchmark.h>

#include <string>

#include "textops.h"

namespace {

// count occurrences of "abc", each followed by seven other characters, padded to size bytes.
std::string text_with_occurrences(std::size_t size, std::size_t count) {
  std::string text;
  text.reserve(size);
  for (std::size_t i = 0; i < count; ++i) text += "abcdefghij";
  text.append(size - text.size(), 'z');
  return text;
}

std::string rescan_directly(std::string text, const std::string& search,
                            const std::string& replacement) {
  for (std::size_t at = text.find(search); at != std::string::npos; at = text.find(search)) {
    text.replace(at, search.size(), replacement);
  }
  return text;
}

std::string cascading_text(std::size_t size) {
  std::string text(size - 1, 'a');
  return text + 'b';
}

void BM_Replace_1MiB_100k_occurrences(benchmark::State& state) {
  const std::string text = text_with_occurrences(1 << 20, 100000);
  for (auto _ : state) {
    std::string out = Replace(text, "abc", "xy");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * (1 << 20));
}

void BM_Replace_1MiB_cascading(benchmark::State& state) {
  // 'aa...ab' with 'ab' -> 'b': 1,048,575 replacements, each one character left of the last.
  const std::string text = cascading_text(1 << 20);
  for (auto _ : state) {
    std::string out = Replace(text, "ab", "b");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * (1 << 20));
}

void BM_Replace_4KiB_cascading(benchmark::State& state) {
  const std::string text = cascading_text(1 << 12);
  for (auto _ : state) {
    std::string out = Replace(text, "ab", "b");
    benchmark::DoNotOptimize(out.data());
  }
}

void BM_RescanDirectly_4KiB_cascading(benchmark::State& state) {
  const std::string text = cascading_text(1 << 12);
  for (auto _ : state) {
    std::string out = rescan_directly(text, "ab", "b");
    benchmark::DoNotOptimize(out.data());
  }
}

void BM_Replace_64KiB_6250_occurrences(benchmark::State& state) {
  const std::string text = text_with_occurrences(1 << 16, 6250);
  for (auto _ : state) {
    std::string out = Replace(text, "abc", "xy");
    benchmark::DoNotOptimize(out.data());
  }
}

void BM_RescanDirectly_64KiB_6250_occurrences(benchmark::State& state) {
  const std::string text = text_with_occurrences(1 << 16, 6250);
  for (auto _ : state) {
    std::string out = rescan_directly(text, "abc", "xy");
    benchmark::DoNotOptimize(out.data());
  }
}

BENCHMARK(BM_Replace_1MiB_100k_occurrences)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Replace_1MiB_cascading)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Replace_64KiB_6250_occurrences)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RescanDirectly_64KiB_6250_occurrences)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Replace_4KiB_cascading)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RescanDirectly_4KiB_cascading)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
