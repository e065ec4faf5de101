// runtime.cpp — process, time, directories and the screen: one SDL window with an optional
// OpenGL context. Failing to open a screen is fatal: one line on stderr and exit status 1,
// because callers go straight on to draw with GL and could not recover anyway.
#include "window.h"

#include "runtime_state.h"

#include <SDL.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace window_runtime {

RuntimeState& State() {
  static RuntimeState state;
  return state;
}

namespace {

using Clock = std::chrono::steady_clock;
const Clock::time_point kClockOrigin = Clock::now();

std::string DirectoryOf(const std::filesystem::path& file) {
  std::string dir = file.parent_path().string();
  while (!dir.empty() && dir.back() == '/') dir.pop_back();  // "/" itself becomes ""
  return dir;
}

std::string FindExeDirectory(int argc, char** argv) {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error && self.is_absolute()) return DirectoryOf(self);
  // No /proc: fall back on the path the program was started by, when it names a file.
  if (argc > 0 && argv != nullptr && argv[0] != nullptr &&
      std::string_view(argv[0]).find('/') != std::string_view::npos) {
    const std::filesystem::path started = std::filesystem::weakly_canonical(argv[0], error);
    if (!error) return DirectoryOf(started);
  }
  return "";
}

// SDL falls back on its offscreen or dummy drivers when no display answers; such a window is
// invisible and never gets input, so those count as "no display".
bool IsRealDisplayDriver(const char* name) {
  if (name == nullptr) return false;
  const std::string_view driver(name);
  return driver != "offscreen" && driver != "dummy" && driver != "evdev";
}

bool TryVideoDriver(const char* driver, std::string* reason) {
  if (driver != nullptr) SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    if (reason) *reason = SDL_GetError();
    return false;
  }
  const char* current = SDL_GetCurrentVideoDriver();
  if (!IsRealDisplayDriver(current)) {
    if (reason) {
      *reason = std::string("no display (only the \"") + (current ? current : "?") +
                "\" video driver is available)";
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  return true;
}

// Brings SDL video up once; false (and video left down) when no real display can be reached.
// Left to itself SDL would also probe display servers that are not there (their client
// libraries print to stderr) and end on a driver that draws nowhere, so the driver is chosen
// here from the environment: an X display first, then a Wayland one.
bool EnsureVideo(std::string* reason) {
  RuntimeState& state = State();
  if (state.video_ready) return true;
  // Let Ctrl+C and SIGTERM end the program as usual instead of becoming window close requests.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  const auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
  };
  bool up = false;
  if (set("SDL_VIDEODRIVER")) {
    up = TryVideoDriver(nullptr, reason);
  } else if (!set("DISPLAY") && !set("WAYLAND_DISPLAY")) {
    if (reason) *reason = "no display (DISPLAY is not set)";
  } else {
    if (set("DISPLAY") && !(up = TryVideoDriver("x11", nullptr)) && reason) {
      *reason = std::string("cannot reach the X display \"") + std::getenv("DISPLAY") + "\"";
    }
    if (!up && set("WAYLAND_DISPLAY")) up = TryVideoDriver("wayland", reason);
  }
  state.video_ready = up;
  return up;
}

[[noreturn]] void FailToOpen(const std::string& reason) {
  std::fprintf(stderr, "game: cannot open a window: %s\n", reason.c_str());
  std::fflush(nullptr);
  std::_Exit(1);  // SDL may be half up; nothing else is worth tearing down
}

void CloseScreen() {
  RuntimeState& state = State();
  if (state.gl_context != nullptr) {
    SDL_GL_MakeCurrent(state.window, nullptr);
    SDL_GL_DeleteContext(state.gl_context);
    state.gl_context = nullptr;
  }
  if (state.window != nullptr) {
    SDL_DestroyWindow(state.window);
    state.window = nullptr;
  }
  state.width = state.height = state.depth = 0;
  state.pages.clear();
  state.pages.shrink_to_fit();
  state.page_count = 0;
  state.lock_depth = 0;
  state.confined = false;
}

void SetContextAttributes(int depth, bool with_alpha) {
  SDL_GL_ResetAttributes();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  if (depth == 16) {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 6);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
  } else {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  }
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, with_alpha ? 8 : 0);
}

}  // namespace
}  // namespace window_runtime

using namespace window_runtime;

// ---- Process ----------------------------------------------------------------------------

void StartRuntime(int argc, char** argv) {
  RuntimeState& state = State();
  state.exe_directory = FindExeDirectory(argc, argv);
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_Init(SDL_INIT_EVENTS);
}

void EndProgram(int status) {
  // The window and context go (which also restores a changed display mode); SDL itself is left
  // up: shutting its video down unloads the GL driver just before the process ends anyway, and
  // only hides the driver's own allocations from leak checkers.
  CloseScreen();
  std::fflush(nullptr);
  std::exit(status);
}

std::string GetExeDirectory() {
  RuntimeState& state = State();
  if (state.exe_directory.empty()) state.exe_directory = FindExeDirectory(0, nullptr);
  return state.exe_directory;
}

int ChangeDirectory(const std::string& path) {
  return ::chdir(path.c_str()) == 0 ? 1 : 0;
}

double GetTime() {
  const auto since =
      std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - kClockOrigin);
  return static_cast<double>(since.count()) / 1e6;
}

void SleepMilliseconds(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// ---- Screen -----------------------------------------------------------------------------

void GetDesktopSize(int* width, int* height) {
  int w = 0;
  int h = 0;
  SDL_DisplayMode mode;
  if (EnsureVideo(nullptr) && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
    w = mode.w;
    h = mode.h;
  }
  if (width) *width = w;
  if (height) *height = h;
}

int OpenScreen(int width, int height, int depth, int pages, int flags, int rate) {
  (void)rate;  // the display's own rate is the only one offered
  if (width < 1 || height < 1 || width > 65536 || height > 65536) {
    FailToOpen("bad size " + std::to_string(width) + "x" + std::to_string(height));
  }
  if (depth != 8 && depth != 16 && depth != 32) {
    FailToOpen("bad depth " + std::to_string(depth) + " (8, 16 or 32 bits)");
  }
  if (pages < 1) pages = 1;
  const std::size_t page_bytes =
      static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * (depth / 8);

  std::string reason;
  if (!EnsureVideo(&reason)) FailToOpen(reason);
  CloseScreen();
  RuntimeState& state = State();

  // The pages first: a request the memory cannot hold opens no window at all.
  std::vector<std::uint8_t> new_pages;
  try {
    if (static_cast<std::size_t>(pages) > new_pages.max_size() / page_bytes) {
      throw std::bad_alloc();
    }
    new_pages.assign(page_bytes * static_cast<std::size_t>(pages), 0);
  } catch (const std::bad_alloc&) {
    FailToOpen("not enough memory for " + std::to_string(pages) + " page(s) of " +
               std::to_string(width) + "x" + std::to_string(height));
  }

  const bool with_gl = (flags & 2) != 0;
  Uint32 window_flags = SDL_WINDOW_SHOWN;
  if (flags & 1) window_flags |= SDL_WINDOW_FULLSCREEN;
  if (with_gl) window_flags |= SDL_WINDOW_OPENGL;

  SDL_Window* window = nullptr;
  if (with_gl) {
    // An alpha channel in the frame buffer is asked for first; displays without such a visual
    // still get a window, since the overlay blends with the texture's alpha, not the frame's.
    for (bool with_alpha : {true, false}) {
      SetContextAttributes(depth, with_alpha);
      window = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                window_flags);
      if (window != nullptr) break;
    }
  } else {
    window = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                              window_flags);
  }
  if (window == nullptr) FailToOpen(SDL_GetError());
  state.window = window;

  if (with_gl) {
    state.gl_context = SDL_GL_CreateContext(window);
    if (state.gl_context == nullptr) {
      const std::string error = SDL_GetError();
      SDL_DestroyWindow(window);
      state.window = nullptr;
      FailToOpen("no OpenGL context: " + error);
    }
    SDL_GL_MakeCurrent(window, state.gl_context);
  }

  state.width = width;
  state.height = height;
  state.depth = depth;
  state.page_count = pages;
  state.pages = std::move(new_pages);
  state.background = 0;
  state.foreground = 0xFFFFFFFFu;
  ResetInput();

  // With no window manager (a bare X server) nobody gives the new window the keyboard; take it,
  // as a program that has just opened its window expects to be typed at.
  SDL_RaiseWindow(window);
  SDL_SetWindowInputFocus(window);
  PumpEvents();
  return 1;
}

void SetScreenTitle(const std::string& title) {
  RuntimeState& state = State();
  if (state.window != nullptr) SDL_SetWindowTitle(state.window, title.c_str());
}

void GetScreenSize(int* width, int* height) {
  const RuntimeState& state = State();
  if (width) *width = state.width;
  if (height) *height = state.height;
}

void PresentFrame() {
  RuntimeState& state = State();
  if (state.window != nullptr) {
    if (state.gl_context != nullptr) {
      SDL_GL_SwapWindow(state.window);
    } else {
      ShowPageOnWindow();
    }
  }
  PumpEvents();
}
