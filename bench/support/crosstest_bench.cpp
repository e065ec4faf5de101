// ns per call of tri_tri_intersect on fixed sets of pairs: separated (rejected by the first plane
// test), crossing, touching (a shared vertex), coplanar (decided by the 2D test), and all four
// mixed. Pairs come from a fixed seed, so every run measures the same work.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "crosstest.h"

namespace {

struct Pair {
  std::array<float, 9> v, u;
};

enum Kind { kSeparated, kCrossing, kTouching, kCoplanar };

std::vector<Pair> make_pairs(Kind kind, int count, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> d(-1, 1);
  std::vector<Pair> pairs;
  for (int i = 0; i < count; ++i) {
    const float ox = 10 * d(rng), oy = 10 * d(rng), oz = 10 * d(rng), s = 1.5f + d(rng);
    // First triangle in the plane z = oz.
    Pair p;
    p.v = {ox, oy, oz, ox + 2 * s, oy + 0.3f * d(rng), oz, ox + 0.3f * d(rng), oy + 2 * s, oz};
    const float cx = ox + 0.5f * s, cy = oy + 0.5f * s;  // inside the first triangle
    switch (kind) {
      case kSeparated:  // wholly above the plane
        p.u = {cx, cy, oz + 0.5f + d(rng) * 0.4f, cx + 1, cy, oz + 1.5f, cx, cy + 1, oz + 2};
        break;
      case kCrossing:  // one vertex below, two above, passing through the inside
        p.u = {cx, cy, oz - 1, cx + 0.1f * d(rng), cy + 0.1f, oz + 1, cx + 1, cy + 0.2f, oz + 1.5f};
        break;
      case kTouching:  // shares the first triangle's first vertex, otherwise above it
        p.u = {ox, oy, oz, ox - 1, oy + d(rng), oz + 1, ox + d(rng), oy - 1, oz + 2};
        break;
      case kCoplanar:  // in the same plane, overlapping or apart
        p.u = {cx + d(rng), cy + d(rng), oz, cx + 2 + d(rng), cy, oz, cx, cy + 2 + d(rng), oz};
        break;
    }
    pairs.push_back(p);
  }
  return pairs;
}

// One call per iteration, cycling through the set: the reported time is ns per call.
void run(benchmark::State& state, const std::vector<Pair>& pairs) {
  std::size_t i = 0;
  int hits = 0;
  for (auto _ : state) {
    const Pair& p = pairs[i];
    hits += tri_tri_intersect(&p.v[0], &p.v[3], &p.v[6], &p.u[0], &p.u[3], &p.u[6]);
    if (++i == pairs.size()) i = 0;
  }
  benchmark::DoNotOptimize(hits);
  state.counters["hit_rate"] =
      benchmark::Counter(static_cast<double>(hits) / static_cast<double>(state.iterations()));
}

std::vector<Pair> mixed() {
  std::vector<Pair> mix;
  for (int k = 0; k < 4; ++k) {
    const auto part = make_pairs(static_cast<Kind>(k), 64, 10 + k);
    mix.insert(mix.end(), part.begin(), part.end());
  }
  std::shuffle(mix.begin(), mix.end(), std::mt19937(5));
  return mix;
}

}  // namespace

int main(int argc, char** argv) {
  static const std::vector<Pair> separated = make_pairs(kSeparated, 256, 1);
  static const std::vector<Pair> crossing = make_pairs(kCrossing, 256, 2);
  static const std::vector<Pair> touching = make_pairs(kTouching, 256, 3);
  static const std::vector<Pair> coplanar = make_pairs(kCoplanar, 256, 4);
  static const std::vector<Pair> mix = mixed();
  benchmark::RegisterBenchmark("tri_tri_intersect/separated", run, separated);
  benchmark::RegisterBenchmark("tri_tri_intersect/crossing", run, crossing);
  benchmark::RegisterBenchmark("tri_tri_intersect/touching", run, touching);
  benchmark::RegisterBenchmark("tri_tri_intersect/coplanar", run, coplanar);
  benchmark::RegisterBenchmark("tri_tri_intersect/mix", run, mix);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
