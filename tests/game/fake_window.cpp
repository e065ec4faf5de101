// fake_window.cpp — the window runtime and overlay operations the demo calls, logged into the
// engine recorder's log and answered from fakewindow::script(). No window, no GL.
#include "fake_window.h"

#include "engine_recorder.h"
#include "libs/2d/overlay.h"
#include "window.h"

namespace fakewindow {
Script& script() {
  static Script s;
  return s;
}
}  // namespace fakewindow

namespace {
using fakewindow::script;
void Log(std::string name, std::vector<recorder::Arg> args = {}) {
  recorder::Log(recorder::Call{std::move(name), std::move(args), 0});
}
double D(int v) {
  return v;
}
}  // namespace

void StartRuntime(int argc, char**) {
  Log("StartRuntime", {D(argc)});
}
void EndProgram(int status) {
  Log("EndProgram", {D(status)});
  throw fakewindow::ProgramEnded{status};
}
std::string GetExeDirectory() {
  return script().exeDirectory;
}
int ChangeDirectory(const std::string& path) {
  Log("ChangeDirectory", {path});
  return 1;
}
void SleepMilliseconds(int ms) {
  Log("SleepMilliseconds", {D(ms)});
}
void GetScreenSize(int* width, int* height) {
  Log("GetScreenSize");
  *width = script().screenWidth;
  *height = script().screenHeight;
}
void LockPage() {
  Log("LockPage");
}
void UnlockPage() {
  Log("UnlockPage");
}
void ClearPage() {
  Log("ClearPage");
}
void DrawText(int x, int y, const std::string& text) {
  Log("DrawText", {D(x), D(y), text});
}
int IsKeyDown(int scancode) {
  Log("IsKeyDown", {D(scancode)});
  return scancode == 17 && script().wHeld ? 1 : 0;
}
std::string ReadKey() {
  Log("ReadKey");
  if (script().keys.empty()) return "";
  std::string key = script().keys.front();
  script().keys.pop_front();
  return key;
}
int GetMouseState(int* x, int* y, int* wheel, int* buttons, int* confined) {
  Log("GetMouseState");
  fakewindow::MouseRead read{0, script().screenWidth / 2, script().screenHeight / 2};
  if (!script().mouse.empty()) {
    read = script().mouse.front();
    script().mouse.pop_front();
  }
  const bool ok = read.result == 0;
  for (int* out : {wheel, buttons, confined}) {
    if (out) *out = ok ? 0 : -1;
  }
  if (x) *x = ok ? read.x : -1;
  if (y) *y = ok ? read.y : -1;
  return read.result;
}
void SetMouseState(int x, int y, int visible, int confine) {
  Log("SetMouseState", {D(x), D(y), D(visible), D(confine)});
}

void SCREENRES(int wid, int hei, int bpp, int pags, int flags) {
  Log("SCREENRES", {D(wid), D(hei), D(bpp), D(pags), D(flags)});
}
void SCREENSYNC() {
  Log("SCREENSYNC");
}
