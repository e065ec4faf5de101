// ns per call of the float gluProject / gluUnProject against the same formulas in double
// precision (our own C-linkage stand-in), measured in the same run on the same camera and points.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <random>

#include "glu_double_standin.h"
#include "project.h"

namespace {

struct Scene {
  float model[16], proj[16];
  double model_d[16], proj_d[16];
  int viewport[4] = {0, 0, 1024, 768};
  std::array<std::array<float, 3>, 64> points;
};

const Scene& scene() {
  static const Scene s = [] {
    Scene s{};
    const double f = 1.0 / std::tan(M_PI / 6);  // 60 degrees vertical
    const float proj[16] = {static_cast<float>(f * 0.75),
                            0,
                            0,
                            0,
                            0,
                            static_cast<float>(f),
                            0,
                            0,
                            0,
                            0,
                            -101.0f / 99.0f,
                            -1,
                            0,
                            0,
                            -200.0f / 99.0f,
                            0};
    const double c = std::cos(0.3), sn = std::sin(0.3);
    const float model[16] = {
        static_cast<float>(c),  0, static_cast<float>(-sn), 0, 0,    1,      0,   0,
        static_cast<float>(sn), 0, static_cast<float>(c),   0, 0.5f, -0.25f, -10, 1};
    for (int i = 0; i < 16; ++i) {
      s.model[i] = model[i], s.proj[i] = proj[i];
      s.model_d[i] = model[i], s.proj_d[i] = proj[i];
    }
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> d(-3, 3);
    for (auto& p : s.points) p = {d(rng), d(rng), d(rng)};
    return s;
  }();
  return s;
}

void BM_gluProject_float(benchmark::State& state) {
  const Scene& s = scene();
  std::size_t i = 0;
  float x, y, z;
  for (auto _ : state) {
    const auto& p = s.points[i++ & 63];
    benchmark::DoNotOptimize(gluProject(p[0], p[1], p[2], s.model, s.proj, s.viewport, &x, &y, &z));
    benchmark::DoNotOptimize(x);
  }
}

void BM_gluProject_double_baseline(benchmark::State& state) {
  const Scene& s = scene();
  std::size_t i = 0;
  double x, y, z;
  for (auto _ : state) {
    const auto& p = s.points[i++ & 63];
    benchmark::DoNotOptimize(gluProject(double{p[0]}, double{p[1]}, double{p[2]}, s.model_d,
                                        s.proj_d, s.viewport, &x, &y, &z));
    benchmark::DoNotOptimize(x);
  }
}

void BM_gluUnProject_float(benchmark::State& state) {
  const Scene& s = scene();
  std::size_t i = 0;
  float x, y, z;
  for (auto _ : state) {
    const auto& p = s.points[i++ & 63];
    benchmark::DoNotOptimize(gluUnProject(512 + 100 * p[0], 384 + 100 * p[1], 0.5f + p[2] / 8,
                                          s.model, s.proj, s.viewport, &x, &y, &z));
    benchmark::DoNotOptimize(x);
  }
}

void BM_gluUnProject_double_baseline(benchmark::State& state) {
  const Scene& s = scene();
  std::size_t i = 0;
  double x, y, z;
  for (auto _ : state) {
    const auto& p = s.points[i++ & 63];
    benchmark::DoNotOptimize(gluUnProject(512 + 100.0 * p[0], 384 + 100.0 * p[1], 0.5 + p[2] / 8.0,
                                          s.model_d, s.proj_d, s.viewport, &x, &y, &z));
    benchmark::DoNotOptimize(x);
  }
}

BENCHMARK(BM_gluProject_float);
BENCHMARK(BM_gluProject_double_baseline);
BENCHMARK(BM_gluUnProject_float);
BENCHMARK(BM_gluUnProject_double_baseline);

}  // namespace

BENCHMARK_MAIN();
