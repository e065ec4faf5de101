// fake_window.h — a scripted stand-in for the window runtime and the overlay in the demo's tests.
// Every call is logged into the engine recorder's log, so one sequence shows window, overlay and
// engine calls interleaved; input comes from the script below; EndProgram throws ProgramEnded.
#pragma once

#include <deque>
#include <string>

namespace fakewindow {

struct MouseRead {
  int result;  // 0 while the window has focus and the pointer is inside
  int x, y;
};

struct Script {
  std::string exeDirectory = "/opt/sky/bin";
  int screenWidth = 1024, screenHeight = 768;
  bool wHeld = false;            // IsKeyDown(17) on every pass
  std::deque<std::string> keys;  // ReadKey texts, oldest first; "" once empty
  std::deque<MouseRead> mouse;   // GetMouseState results; the centre once empty
};

Script& script();  // the script for the next run; reset it per test

struct ProgramEnded {
  int status;
};

}  // namespace fakewindow
