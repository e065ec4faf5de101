/* gl_window.cpp — opens one SDL2 window with a GL 2.1 compatibility context (Mesa's llvmpipe under
   Xvfb) so engine tests can render for real and read the pixels back. */
#include "gl_window.h"

#include <SDL2/SDL.h>
#include <GL/gl.h>

#include <cstdlib>

namespace {
SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
int window_height = 0;
}  // namespace

bool OpenGlWindow(int width, int height, std::string* error) {
  // Ask for X11 outright: left to probe, SDL loads and unloads other display libraries first.
  if (std::getenv("DISPLAY")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    *error = std::string("SDL video: ") + SDL_GetError();
    return false;
  }
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  window = SDL_CreateWindow("engine test", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                            height, SDL_WINDOW_OPENGL);
  if (!window) {
    *error = std::string("window: ") + SDL_GetError();
    return false;
  }
  context = SDL_GL_CreateContext(window);
  if (!context) {
    *error = std::string("GL context: ") + SDL_GetError();
    return false;
  }
  SDL_GL_MakeCurrent(window, context);
  SDL_GL_SetSwapInterval(0);
  window_height = height;
  return true;
}

void CloseGlWindow() {
  if (context) SDL_GL_DeleteContext(context);
  if (window) SDL_DestroyWindow(window);
  context = nullptr;
  window = nullptr;
  // The video subsystem stays up until the process ends: shutting it down unloads the GL driver,
  // whose few remaining allocations would then show up as leaks with no module to name.
}

void SwapGlWindow() {
  SDL_GL_SwapWindow(window);
}

Rgb ReadPixel(int x, int y) {
  unsigned char p[4] = {0, 0, 0, 0};
  glFinish();
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, window_height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
  return Rgb{p[0], p[1], p[2]};
}

// Under the leak checker, programs that drive Mesa here can crash the checker itself while it
// walks the main thread's dynamic TLS at exit. Thread-local storage is therefore not scanned;
// that only makes the check stricter, and the dynamic loader's own bookkeeping, which is
// reachable only through TLS, is the one thing it then flags and is excused below.
extern "C" const char* __lsan_default_options() {
  return "use_tls=0";
}
extern "C" const char* __lsan_default_suppressions() {
  return "leak:_dl_map_object_deps\nleak:add_to_global_resize\n";
}
