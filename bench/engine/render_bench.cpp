/* render_bench.cpp — RenderWorld on a sky scene like the demo's (three nested inverted spheres,
   eight sprites, one large cloud sprite, a ground plane) at 1024x768, against a bare
   clear-and-swap loop in the same run; counts heap allocations made on the rendering thread
   during RenderWorld. --engine_screenshot=DIR saves the rendered day and dusk frames. */
#include <benchmark/benchmark.h>

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <GL/gl.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include "alloc_counter.h"
#include "engine3d.h"
#include "gl_window.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
std::string g_screenshot_dir;
double g_baseline_ms = 0;

// ---- Images, drawn here so the benchmark needs no asset files ------------------------------
std::string WriteImage(const std::string& name, int w, int h,
                       const std::function<SDL_Color(float, float)>& fn) {
  const std::string path = "/tmp/engine_bench_" + std::to_string(getpid()) + "_" + name;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32);
  for (int y = 0; y < h; ++y) {
    auto* row = static_cast<Uint8*>(s->pixels) + y * s->pitch;
    for (int x = 0; x < w; ++x) {
      const SDL_Color c = fn((static_cast<float>(x) + 0.5f) / static_cast<float>(w),
                             (static_cast<float>(y) + 0.5f) / static_cast<float>(h));
      std::memcpy(row + x * 4, &c, 4);
    }
  }
  IMG_SavePNG(s, path.c_str());
  SDL_FreeSurface(s);
  return path;
}

Uint8 U8(float v) {
  return static_cast<Uint8>(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255.0f);
}

float Glow(float u, float v, float falloff) {
  const float d = std::hypot(u - 0.5f, v - 0.5f) * 2.0f;
  return std::pow(std::fmax(0.0f, 1.0f - d), falloff);
}

float Hash(int x, int y) {
  unsigned h = static_cast<unsigned>(x) * 374761393u + static_cast<unsigned>(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return static_cast<float>(h & 0xffff) / 65535.0f;
}

struct Scene {
  Entity camera, sky, dark, stars, sun_pivot, sunhof, sunhof2, sunhof3, moon, moonhof, moonhof2,
      clouds;
};

Scene BuildScene() {
  Scene s{};
  const auto sky = WriteImage("test.png", 256, 128, [](float, float v) {
    return SDL_Color{U8(0.25f + 0.5f * v), U8(0.45f + 0.4f * v), U8(0.95f - 0.1f * v), 255};
  });
  const auto dusk = WriteImage("test2.png", 256, 128, [](float, float v) {
    return SDL_Color{U8(0.05f + 0.9f * v * v), U8(0.05f + 0.35f * v * v), U8(0.2f), 255};
  });
  const auto stars = WriteImage("stars.png", 256, 256, [](float u, float v) {
    const float h = Hash(static_cast<int>(u * 256), static_cast<int>(v * 256));
    const Uint8 c = h > 0.996f ? 255 : 0;
    return SDL_Color{c, c, c, 255};
  });
  const auto sun = WriteImage("sun.png", 64, 64, [](float u, float v) {
    const Uint8 c = U8(Glow(u, v, 0.3f) * 1.5f);
    return SDL_Color{c, c, c, 255};
  });
  const auto hof = WriteImage("sunhof.png", 128, 128, [](float u, float v) {
    const Uint8 c = U8(Glow(u, v, 2.0f));
    return SDL_Color{c, c, c, 255};
  });
  const auto hof2 = WriteImage("sunhof2.png", 128, 128, [](float u, float v) {
    return SDL_Color{255, 255, 255, U8(Glow(u, v, 2.5f))};
  });
  const auto moon = WriteImage("moon.png", 64, 64, [](float u, float v) {
    const bool in = std::hypot(u - 0.5f, v - 0.5f) < 0.45f;
    return SDL_Color{230, 230, 210, static_cast<Uint8>(in ? 255 : 0)};
  });
  const auto mask = WriteImage("moonmask.png", 64, 64, [](float u, float v) {
    const bool in = std::hypot(u - 0.5f, v - 0.5f) < 0.45f;
    return SDL_Color{0, 0, 0, static_cast<Uint8>(in ? 255 : 0)};
  });
  const auto moonhof = WriteImage("moonhof.png", 64, 64, [](float u, float v) {
    return SDL_Color{200, 200, 220, U8(Glow(u, v, 3.0f) * 0.6f)};
  });
  const auto clouds = WriteImage("clouds.png", 256, 256, [](float u, float v) {
    float a = 0;
    for (int o = 1; o <= 4; ++o) {
      a += (std::sin(u * 6.2831853f * static_cast<float>(o * 2) + static_cast<float>(o)) *
                std::cos(v * 6.2831853f * static_cast<float>(o * 3)) +
            1.0f) /
           static_cast<float>(o * 4);
    }
    return SDL_Color{255, 255, 255, U8(a - 0.35f)};
  });

  // The same calls the demo makes when it builds its sky.
  s.camera = CreateCamera(nullptr);
  Entity light = CreateLight(2, nullptr);
  TurnEntity(light, 90, 0, 0, 0);
  s.sky = CreateSphere(8, nullptr);
  Texture sky_tex = LoadTexture(sky.c_str(), 1);
  EntityTexture(s.sky, sky_tex, 0, 0);
  Texture star_tex = LoadTexture(stars.c_str(), 1);
  ScaleTexture(star_tex, 0.5f, 0.5f);
  Texture dark_tex = LoadTexture(dusk.c_str(), 1);
  FlipMesh(s.sky);
  ScaleEntity(s.sky, 500, 500, 500, 0);
  s.stars = CreateSphere(8, nullptr);
  FlipMesh(s.stars);
  ScaleEntity(s.stars, 501, 501, 501, 0);
  EntityTexture(s.stars, star_tex, 0, 0);
  s.dark = CreateSphere(8, nullptr);
  FlipMesh(s.dark);
  ScaleEntity(s.dark, 500.5f, 500.5f, 500.5f, 0);
  EntityTexture(s.dark, dark_tex, 0, 0);

  Entity sun_sprite = LoadSprite(sun.c_str(), 1, nullptr);
  EntityBlend(sun_sprite, 3);
  ScaleSprite(sun_sprite, 7, 7);
  s.moon = LoadSprite(moon.c_str(), 2, nullptr);
  Entity moonmask = LoadSprite(mask.c_str(), 1, nullptr);
  s.moonhof = LoadSprite(moonhof.c_str(), 1, nullptr);
  s.moonhof2 = LoadSprite(hof2.c_str(), 1, nullptr);
  s.sunhof = LoadSprite(hof.c_str(), 1, nullptr);
  s.sunhof2 = LoadSprite(hof2.c_str(), 1, nullptr);
  s.sunhof3 = LoadSprite(hof2.c_str(), 1, nullptr);
  ScaleSprite(s.sunhof, 240, 110);
  ScaleSprite(s.moonhof, 13, 13);
  ScaleSprite(s.moon, 7, 7);
  ScaleSprite(moonmask, 7, 7);
  ScaleSprite(s.sunhof2, 60, 60);
  ScaleSprite(s.sunhof3, 340, 210);
  EntityBlend(s.sunhof, 3);
  ScaleSprite(s.moonhof2, 140, 140);
  s.sun_pivot = CreatePivot(nullptr);
  for (Entity e : {sun_sprite, s.sunhof, s.sunhof2, s.sunhof3, light}) {
    EntityParent(e, s.sun_pivot, 1);
  }
  PositionEntity(sun_sprite, 0, 0, 99, 0);
  PositionEntity(s.moonhof, 0, 30, 100, 0);
  PositionEntity(s.moonhof2, 0, 30, 100, 0);
  PositionEntity(s.moon, 0, 30, 99, 0);
  PositionEntity(moonmask, 0, 30, 101, 0);
  PositionEntity(s.sunhof, 0, 0, 100, 0);
  PositionEntity(s.sunhof3, 0, 0, 102, 0);
  PositionEntity(s.sunhof2, 0, 0, 101, 0);
  for (Entity e : {s.sunhof, s.sunhof2, s.sunhof3}) EntityFX(e, 16);
  for (Entity e : {sun_sprite, s.sunhof, s.sunhof2, s.sunhof3, s.moon}) EntityOrder(e, -2);
  EntityOrder(s.moonhof, -1);
  for (Entity e : {sun_sprite, s.sunhof, s.sunhof2, s.sunhof3, s.moon, s.moonhof, s.moonhof2}) {
    MeshCullRadius(e, 2000000);
  }
  Entity plane = CreatePlane(1, nullptr);
  EntityOrder(plane, -3);
  PositionEntity(plane, 0, -10, 0, 0);
  Texture cloud_tex = LoadTexture(clouds.c_str(), 2);
  ScaleTexture(cloud_tex, 0.125f, 0.125f);
  s.clouds = CreateSprite(nullptr);
  EntityTexture(s.clouds, cloud_tex, 0, 0);
  ScaleSprite(s.clouds, 5000, 5000);
  SpriteViewMode(s.clouds, 2);
  PositionEntity(s.clouds, 0, 200, 0, 0);
  EntityFX(s.clouds, 17);
  PointEntity(s.clouds, s.camera, 0);
  MeshCullRadius(s.clouds, 2000000);
  EntityOrder(s.clouds, -1);
  for (const auto& file : {sky, dusk, stars, sun, hof, hof2, moon, mask, moonhof, clouds}) {
    std::remove(file.c_str());
  }
  return s;
}

// The per-frame calls of the day-night step for a given time of day.
void ApplySky(const Scene& s, double sun_angle, double star_alpha, double sun_alpha) {
  const float g = static_cast<float>(255 - 110 * sun_alpha);
  const float b = static_cast<float>(83 - 100 * sun_alpha);
  for (Entity e : {s.sunhof, s.sunhof3, s.sunhof2}) EntityColor(e, 255, g, b);
  EntityAlpha(s.clouds, static_cast<float>(star_alpha));
  EntityAlpha(s.sky, static_cast<float>(star_alpha));
  EntityAlpha(s.dark, static_cast<float>(1 - sun_alpha));
  const float sky = static_cast<float>(255 - 180 * sun_alpha);
  EntityColor(s.sky, sky, sky, sky);
  for (Entity e : {s.moonhof, s.moon, s.moonhof2})
    EntityAlpha(e, static_cast<float>(1 - star_alpha));
  EntityAlpha(s.sunhof, static_cast<float>(sun_alpha));
  EntityAlpha(s.sunhof3, static_cast<float>(sun_alpha));
  RotateEntity(s.sun_pivot, static_cast<float>(sun_angle), 0, 0, 0);
}

void SaveFrame(const std::string& name) {
  std::vector<unsigned char> px(static_cast<std::size_t>(kWidth) * kHeight * 4);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_RGBA32);
  for (int y = 0; y < kHeight; ++y) {
    auto* dst = static_cast<unsigned char*>(s->pixels) + y * s->pitch;
    const unsigned char* src = px.data() + static_cast<std::size_t>(kHeight - 1 - y) * kWidth * 4;
    for (int x = 0; x < kWidth; ++x) {
      std::memcpy(dst + x * 4, src + x * 4, 3);
      dst[x * 4 + 3] = 255;
    }
  }
  const std::string path = g_screenshot_dir + "/" + name + ".png";
  IMG_SavePNG(s, path.c_str());
  SDL_FreeSurface(s);
  std::printf("saved %s\n", path.c_str());
}

double MsSince(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

void BM_ClearAndSwap(benchmark::State& state) {
  double ms = 0;
  long long frames = 0;
  long long mallocs = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    alloc_counter::Start();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    mallocs += alloc_counter::Stop().c;
    SwapGlWindow();
    ms += MsSince(t0);
    ++frames;
  }
  g_baseline_ms = ms / static_cast<double>(frames);
  state.counters["ms_per_frame"] = g_baseline_ms;
  state.counters["malloc_per_frame"] = static_cast<double>(mallocs) / static_cast<double>(frames);
}

// Sky states: (sun angle, star alpha, sun alpha) as the day-night step leaves them.
struct TimeOfDay {
  const char* name;
  double sun_angle, star_alpha, sun_alpha;
  float camera_pitch, camera_yaw;
};
const TimeOfDay kTimes[] = {
    {"day", 100.0, 1.0, 0.0, 70, 180},   // every sphere opaque: only the inner one can show
    {"dusk", 165.0, 0.4, 0.8, 10, 180},  // translucent sky over the dark sphere over the stars
    {"night", 230.0, -0.0025, 1.008, 10, 0},
};

void BM_RenderWorld(benchmark::State& state) {
  const TimeOfDay& t = kTimes[state.range(0)];
  state.SetLabel(t.name);
  ClearWorld(1, 1, 1);
  const Scene s = BuildScene();
  ApplySky(s, t.sun_angle, t.star_alpha, t.sun_alpha);
  RotateEntity(s.camera, t.camera_pitch, t.camera_yaw, 0, 0);
  for (int i = 0; i < 3; ++i) {  // warm up: textures, driver state, draw-list capacity
    CameraRange(s.camera, 1, 1e10f);
    UpdateWorld(1);
    RenderWorld();
    SwapGlWindow();
  }
  if (!g_screenshot_dir.empty()) {
    RenderWorld();
    SaveFrame(t.name);
  }
  double ms = 0;
  long long frames = 0;
  alloc_counter::Counts allocations;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    CameraRange(s.camera, 1, 1e10f);
    ApplySky(s, t.sun_angle + 0.2 * static_cast<double>(frames % 2), t.star_alpha, t.sun_alpha);
    alloc_counter::Start();
    UpdateWorld(1);
    RenderWorld();
    const alloc_counter::Counts counted = alloc_counter::Stop();
    allocations.cxx += counted.cxx;
    allocations.c += counted.c;
    SwapGlWindow();
    ms += MsSince(t0);
    ++frames;
  }
  const double per_frame = ms / static_cast<double>(frames);
  state.counters["ms_per_frame"] = per_frame;
  state.counters["x_clear_swap"] = g_baseline_ms > 0 ? per_frame / g_baseline_ms : 0;
  state.counters["new_per_frame"] =
      static_cast<double>(allocations.cxx) / static_cast<double>(frames);
  state.counters["malloc_per_frame"] =
      static_cast<double>(allocations.c) / static_cast<double>(frames);
  ClearWorld(1, 1, 1);
}

}  // namespace

BENCHMARK(BM_ClearAndSwap)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderWorld)->DenseRange(0, 2)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--engine_screenshot=", 0) == 0) {
      g_screenshot_dir = arg.substr(std::strlen("--engine_screenshot="));
    } else {
      std::fprintf(stderr, "engine_render_bench: unknown argument %s\n", argv[i]);
      return 2;
    }
  }
  std::string error;
  if (!OpenGlWindow(kWidth, kHeight, &error)) {
    std::fprintf(stderr, "engine_render_bench: cannot open a GL window: %s\n", error.c_str());
    return 1;
  }
  Graphics3D(kWidth, kHeight, 32, 0, 60);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  ClearWorld(1, 1, 1);
  CloseGlWindow();
  return 0;
}
