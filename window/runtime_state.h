// runtime_state.h — the window runtime's one block of state, shared by its source files.
// Internal to window/: the program reaches all of this only through window.h.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace window_runtime {

struct RuntimeState {
  // Process
  std::string exe_directory;  // found at start-up; "" when unknown
  bool video_ready = false;   // SDL video is up on a real display driver

  // Screen
  SDL_Window* window = nullptr;
  SDL_GLContext gl_context = nullptr;  // null when the screen was opened without flag 2
  int width = 0;
  int height = 0;
  int depth = 0;  // bits per page pixel: 8, 16 or 32

  // Pages: `page_count` pages of width * height pixels, back to back; page 0 is drawn into.
  std::vector<std::uint8_t> pages;
  int page_count = 0;
  int lock_depth = 0;
  std::uint32_t background = 0;
  std::uint32_t foreground = 0xFFFFFFFFu;

  // Input
  std::array<bool, 256> key_down{};  // by PC set-1 code
  std::deque<std::string> pending_keys;
  int wheel = 0;  // accumulated wheel steps, up positive
  bool confined = false;
};

RuntimeState& State();

// Reads every waiting window-system event into the key, wheel and close state.
void PumpEvents();

// Forgets keys held and queued; used when a screen is (re)opened.
void ResetInput();

// Bytes per page pixel at the open depth.
inline int BytesPerPixel(int depth) {
  return depth / 8;
}

// Copies the page onto the window when the screen has no GL context (the runtime shows the
// page itself in that mode).
void ShowPageOnWindow();

}  // namespace window_runtime
