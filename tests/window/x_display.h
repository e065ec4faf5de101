// x_display.h — test helpers that look at the runtime's window from the X server's side:
// capture what was presented, find the window's id, and send it what a window manager would.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CapturedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;  // 0xRRGGBB per pixel, rows top to bottom
  std::uint32_t At(int x, int y) const {
    return rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x)];
  }
};

// The window that holds the current GL context (or the only runtime window), as an X id.
unsigned long RuntimeWindowId();

// The window's contents as the X server holds them, i.e. what the last swap presented.
CapturedImage CaptureRuntimeWindow();

// Sends the window a WM_DELETE_WINDOW message, as a window manager does for a close button.
void SendCloseRequest(unsigned long window);

// Where the window's top-left pixel is on the screen.
void RuntimeWindowOrigin(int* x, int* y);

// The pointer's position on the screen, as the X server reports it.
void PointerOnScreen(int* x, int* y);

// Takes the keyboard focus away from every window (focus to none).
void DropInputFocus();

// Runs a shell command; returns its exit status.
int RunCommand(const std::string& command);

inline int Red(std::uint32_t c) {
  return static_cast<int>((c >> 16) & 0xFF);
}
inline int Green(std::uint32_t c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
inline int Blue(std::uint32_t c) {
  return static_cast<int>(c & 0xFF);
}
