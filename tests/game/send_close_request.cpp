// send_close_request — asks an X window to close the way a window manager does (a WM_PROTOCOLS
// client message carrying WM_DELETE_WINDOW), from a separate client. Usage: send_close_request ID
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "x_display.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: send_close_request WINDOW_ID\n");
    return 2;
  }
  try {
    SendCloseRequest(std::strtoul(argv[1], nullptr, 0));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "send_close_request: %s\n", e.what());
    return 1;
  }
  return 0;
}
