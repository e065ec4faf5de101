// window.h — the window runtime: one window with an OpenGL context, a CPU-side 2D page, keys,
// mouse, time and directories, on SDL2.
//
// Use
//   1. StartRuntime(argc, argv) first.
//   2. OpenScreen(w, h, 32, 1, 2, 0) opens a w x h window with a double-buffered GL context
//      (flag 2) and one 32-bit page; flag 1 asks for fullscreen. No display: one line on stderr
//      ("game: cannot open a window: ...") and exit status 1.
//   3. Each frame: draw with GL, LockPage/ClearPage/DrawText/UnlockPage into the page, let the
//      overlay lay the page over the frame, PresentFrame().
//   4. EndProgram(status) closes the window and ends the process.
//
// Page format: at 32 bits each pixel is the word 0xAARRGGBB stored little-endian (bytes B, G, R,
// A); at 16 bits RGB 5-6-5; at 8 bits a palette index. Rows top to bottom, no gaps.
// Keys are PC scan code set 1 (W is 17, Escape 1). Events are pumped on the calling (main)
// thread inside the input and present calls, so no key or close request is lost.
#pragma once

#include <cstdint>
#include <string>

// ---- Process ----------------------------------------------------------------------------
void StartRuntime(int argc, char** argv);  // prepare the runtime; first call of a program
[[noreturn]] void EndProgram(int status);  // close the window, end the process with status
std::string GetExeDirectory();             // directory of the executable, no trailing "/"; "" if unknown
int ChangeDirectory(const std::string& path);  // 1 on success, 0 on failure
double GetTime();                          // wall-clock seconds, microsecond resolution
void SleepMilliseconds(int ms);            // suspend the calling thread

// ---- Screen -----------------------------------------------------------------------------
void GetDesktopSize(int* width, int* height);  // 0, 0 when no display can be reached
int OpenScreen(int width, int height, int depth, int pages, int flags, int rate);  // 1 on success
void SetScreenTitle(const std::string& title);
void GetScreenSize(int* width, int* height);   // size of the open window (0, 0 before)
void PresentFrame();                           // swap the GL buffers, pump events

// ---- The 2D page ------------------------------------------------------------------------
void LockPage();                          // begin drawing into the page
void UnlockPage();                        // end drawing into the page
void SetBackgroundColor(std::uint32_t c);  // colour ClearPage fills with
void SetForegroundColor(std::uint32_t c);  // colour DrawText draws with (opaque white after OpenScreen)
void ClearPage();                         // fill the page with the background colour
void* GetPagePointer();                   // top-left pixel of the page drawn into
void DrawText(int x, int y, const std::string& text);  // 8x8 font, glyph pixels only
std::uint32_t GetPaletteEntry(int index);  // 0xAARRGGBB for a palette index 0..255 (8-bit pages)

// ---- Images -----------------------------------------------------------------------------
// An image is one block: a 32-byte header, then height rows of width pixels at depth bits.
void* AllocateImage(int width, int height, std::uint32_t fill, int depth, int flags);
void ReleaseImage(void* image);
inline void* ImagePixels(void* image) { return static_cast<unsigned char*>(image) + 32; }

// ---- Input ------------------------------------------------------------------------------
int IsKeyDown(int scancode);  // non-zero while the key (PC set 1) is held
std::string ReadKey();        // oldest pending key as text; "" when none (see above)
// 0 and the pointer position while the window has focus and the pointer is inside;
// otherwise non-zero with -1 in every output. Any output pointer may be null.
int GetMouseState(int* x, int* y, int* wheel, int* buttons, int* confined);
// Moves the pointer to (x, y) when the window has focus; visible 0/1 hides/shows, confine 0/1
// frees/confines it; -1 leaves a setting unchanged.
void SetMouseState(int x, int y, int visible, int confine);
