/* gl_window.h — a small SDL2 window with a compatibility GL context for engine tests and
   benchmarks, plus read-back of the back buffer the engine has just drawn into. */
#ifndef ENGINE_TESTS_GL_WINDOW_H
#define ENGINE_TESTS_GL_WINDOW_H

#include <string>

struct Rgb {
  int r, g, b;
};

// Opens the window and makes its context current; returns false with a reason in *error.
bool OpenGlWindow(int width, int height, std::string* error);
void CloseGlWindow();
void SwapGlWindow();
// Pixel (x, y) counted from the top-left corner, read from the back buffer.
Rgb ReadPixel(int x, int y);

#endif
