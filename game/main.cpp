// main.cpp — the sky demo's entry procedure: start-up, the frame loop until Escape, shutdown.
// Reads no option, environment variable or file besides its ten images.
#include "sky.h"

int main(int argc, char** argv) {
  STARTUP(argc, argv);
  CHECKIMAGES();
  while (FRAME()) {
  }
  SHUTDOWN();
}
