// x_display.cpp — reads and pokes the runtime's window through the X server, on SDL's own
// connection, so requests line up behind the swap that presented the frame.
#include "x_display.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <sys/wait.h>

#include <cstdlib>
#include <stdexcept>

namespace {

struct NativeWindow {
  Display* display;
  Window window;
};

NativeWindow Native() {
  SDL_Window* window = SDL_GL_GetCurrentWindow();
  if (window == nullptr) window = SDL_GetWindowFromID(1);
  for (Uint32 id = 1; window == nullptr && id < 64; ++id) window = SDL_GetWindowFromID(id);
  if (window == nullptr) throw std::runtime_error("no runtime window");
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
    throw std::runtime_error("runtime window is not an X11 window");
  }
  return {info.info.x11.display, info.info.x11.window};
}

}  // namespace

unsigned long RuntimeWindowId() {
  return Native().window;
}

CapturedImage CaptureRuntimeWindow() {
  const NativeWindow native = Native();
  XSync(native.display, False);
  XWindowAttributes attributes;
  XGetWindowAttributes(native.display, native.window, &attributes);
  XImage* image =
      XGetImage(native.display, native.window, 0, 0, static_cast<unsigned>(attributes.width),
                static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (image == nullptr) throw std::runtime_error("XGetImage failed");
  CapturedImage captured;
  captured.width = attributes.width;
  captured.height = attributes.height;
  captured.rgb.resize(static_cast<std::size_t>(captured.width) *
                      static_cast<std::size_t>(captured.height));
  for (int y = 0; y < captured.height; ++y) {
    for (int x = 0; x < captured.width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      const auto channel = [pixel](unsigned long mask) {
        if (mask == 0) return 0u;
        unsigned long m = mask;
        int shift = 0;
        while ((m & 1) == 0) {
          m >>= 1;
          ++shift;
        }
        return static_cast<unsigned>(((pixel & mask) >> shift) * 255 / m);
      };
      captured.rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(captured.width) +
                   static_cast<std::size_t>(x)] = channel(image->red_mask) << 16 |
                                                  channel(image->green_mask) << 8 |
                                                  channel(image->blue_mask);
    }
  }
  XDestroyImage(image);
  return captured;
}

void SendCloseRequest(unsigned long window) {
  // A separate connection, as a window manager's message comes from another client.
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) throw std::runtime_error("cannot reach the X display");
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
}

void RuntimeWindowOrigin(int* x, int* y) {
  const NativeWindow native = Native();
  Window child = 0;
  XTranslateCoordinates(native.display, native.window, DefaultRootWindow(native.display), 0, 0, x,
                        y, &child);
}

void PointerOnScreen(int* x, int* y) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) throw std::runtime_error("cannot reach the X display");
  Window root = 0;
  Window child = 0;
  int wx = 0;
  int wy = 0;
  unsigned mask = 0;
  XQueryPointer(display, DefaultRootWindow(display), &root, &child, x, y, &wx, &wy, &mask);
  XCloseDisplay(display);
}

void DropInputFocus() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) throw std::runtime_error("cannot reach the X display");
  XSetInputFocus(display, None, RevertToNone, CurrentTime);
  XSync(display, False);
  XCloseDisplay(display);
}

int RunCommand(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
