// sky_probe.cpp — a preloaded library that watches the running demo from outside, for the
// end-to-end tests and the frame benchmark. The demo itself reads no environment; this probe
// does: SKY_PROBE_LOG names a file that gets one line per observation:
//   "text <s>"                    the text drawn at page pixel (10, 10), read at each page upload
//   "camera <pitch> <yaw> <roll>" each RotateEntity on the first camera created
//   "frame <n> <seconds>"         each buffer swap, with CLOCK_MONOTONIC seconds
// With SKY_PROBE_FRAMES=N the probe ends the process after N demo frames, first timing N frames
// of a bare clear-and-swap loop in the same window; the figures go to the log as "bench ..." lines.
// It also keeps every shared library loaded until the process ends (dlclose does nothing), so
// that in the sanitizer build a leak inside the GL driver, which SDL unloads at shutdown, is
// still reported under the driver's name and excused by tests/lsan.supp like the others.
#include <GL/gl.h>
#include <dlfcn.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine3d.h"
#include "font.h"

struct SDL_Window;

namespace {

FILE* Log() {
  static FILE* log = [] {
    const char* path = std::getenv("SKY_PROBE_LOG");
    FILE* f = path ? std::fopen(path, "w") : nullptr;
    if (f) setvbuf(f, nullptr, _IOLBF, 0);
    return f;
  }();
  return log;
}

double Now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

template <typename F>
F Next(const char* name) {
  void* p = dlsym(RTLD_NEXT, name);
  if (!p) {
    std::fprintf(stderr, "sky_probe: no next %s\n", name);
    std::abort();
  }
  return reinterpret_cast<F>(p);
}

// Reads the 8x8 glyph cells from (10, 10) rightwards until a blank cell; '?' for a cell that is
// no glyph of the font.
std::string ReadText(const std::uint32_t* page, int width, int height) {
  std::string text;
  for (int cell = 0; 10 + 8 * (cell + 1) <= width && height >= 18; ++cell) {
    std::uint8_t rows[8];
    bool blank = true;
    for (int r = 0; r < 8; ++r) {
      rows[r] = 0;
      for (int c = 0; c < 8; ++c) {
        const std::uint32_t p = page[(10 + r) * width + 10 + 8 * cell + c];
        if ((p >> 24) != 0) rows[r] |= static_cast<std::uint8_t>(0x80 >> c);
      }
      blank = blank && rows[r] == 0;
    }
    if (blank) break;
    char found = '?';
    for (int ch = 0x21; ch < 0x7f; ++ch) {
      const std::uint8_t* glyph = FontGlyph(static_cast<unsigned char>(ch));
      if (glyph && std::memcmp(glyph, rows, 8) == 0) {
        found = static_cast<char>(ch);
        break;
      }
    }
    text += found;
  }
  return text;
}

Entity camera = nullptr;
long frames = 0;
double firstSwap = 0, startTime = Now();

void RunBareLoopAndExit(void (*swap)(SDL_Window*), SDL_Window* window, long n, double demoSeconds) {
  // State the demo may have left that would limit a clear.
  glDisable(GL_SCISSOR_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  const double t0 = Now();
  for (long i = 0; i < n; ++i) {
    glClearColor(0.1f, 0.2f, 0.4f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    swap(window);
  }
  glFinish();
  const double bareSeconds = Now() - t0;
  if (FILE* log = Log()) {
    std::fprintf(log, "bench demo_frames %ld demo_seconds %.6f\n", n, demoSeconds);
    std::fprintf(log, "bench bare_frames %ld bare_seconds %.6f\n", n, bareSeconds);
    std::fprintf(log, "bench first_swap_monotonic %.6f probe_start_monotonic %.6f\n", firstSwap,
                 startTime);
    std::fclose(log);
  }
  _exit(0);
}

}  // namespace

extern "C" {

int dlclose(void*) {
  return 0;
}

void glTexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei width, GLsizei height,
                     GLenum format, GLenum type, const void* pixels) {
  static auto next =
      Next<void (*)(GLenum, GLint, GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, const void*)>(
          "glTexSubImage2D");
  if (Log() && pixels && format == GL_BGRA && type == GL_UNSIGNED_BYTE && x == 0 && y == 0) {
    std::fprintf(Log(), "text %s\n",
                 ReadText(static_cast<const std::uint32_t*>(pixels), width, height).c_str());
  }
  next(target, level, x, y, width, height, format, type, pixels);
}

Entity CreateCamera(Entity parent) {
  static auto next = Next<Entity (*)(Entity)>("CreateCamera");
  Entity e = next(parent);
  if (!camera) camera = e;
  return e;
}

void RotateEntity(Entity e, float pitch, float yaw, float roll, int global) {
  static auto next = Next<void (*)(Entity, float, float, float, int)>("RotateEntity");
  if (e && e == camera && Log()) std::fprintf(Log(), "camera %g %g %g\n", pitch, yaw, roll);
  next(e, pitch, yaw, roll, global);
}

void SDL_GL_SwapWindow(SDL_Window* window) {
  static auto next = Next<void (*)(SDL_Window*)>("SDL_GL_SwapWindow");
  static const long limit = [] {
    const char* n = std::getenv("SKY_PROBE_FRAMES");
    return n ? std::atol(n) : 0L;
  }();
  next(window);
  const double now = Now();
  ++frames;
  if (frames == 1) firstSwap = now;
  if (Log() && limit == 0) std::fprintf(Log(), "frame %ld %.6f\n", frames, now);
  // Frame 1 is the warm-up (textures uploaded, first draw); time frames 2..limit+1.
  if (limit > 0 && frames == limit + 1) {
    glFinish();
    RunBareLoopAndExit(next, window, limit, Now() - firstSwap);
  }
}

}  // extern "C"
