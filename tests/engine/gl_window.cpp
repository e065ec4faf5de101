/* gl_window.cpp — opens one SDL2 window with a GL 2.1 compatibility context (Mesa's llvmpipe under
   Xvfb) so engine tests can render for real and read the pixels back. */
#include "gl_window.h"

#include <SDL2/SDL.h>
#include <GL/gl.h>

namespace {
SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
int window_height = 0;
}  // namespace

bool OpenGlWindow(int width, int height, std::string* error) {
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
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
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
