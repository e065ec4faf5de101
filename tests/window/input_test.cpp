// input_test.cpp — keys, the close request and the mouse, driven through the real X server by
// another client (xdotool, or a small Xlib sender standing in for the window manager).
#include "overlay.h"
#include "window.h"
#include "x_display.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Input from another client arrives asynchronously; wait for it, but not forever.
bool WaitFor(const std::function<bool()>& condition) {
  for (int i = 0; i < 400; ++i) {
    if (condition()) return true;
    SleepMilliseconds(5);
  }
  return condition();
}

std::string WaitForKey() {
  std::string key;
  WaitFor([&key] { return !(key = ReadKey()).empty(); });
  return key;
}

int Xdotool(const std::string& args) {
  return RunCommand("xdotool " + args + " >/dev/null 2>&1");
}

class Input : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    StartRuntime(0, nullptr);
    SCREENRES(1024, 768, 32, 1, 0);
    SCREENSYNC();
  }
  void SetUp() override {
    window_ = std::to_string(RuntimeWindowId());
    ASSERT_EQ(Xdotool("windowfocus --sync " + window_), 0);
    SetMouseState(-1, -1, 1, 0);
    SCREENSYNC();
    while (!ReadKey().empty()) {
    }
  }
  std::string window_;
};

TEST_F(Input, HeldKeyIsDownUntilReleased) {
  ASSERT_EQ(IsKeyDown(17), 0);
  ASSERT_EQ(Xdotool("keydown w"), 0);
  EXPECT_TRUE(WaitFor([] { return IsKeyDown(17) != 0; })) << "W (17) never showed as held";
  EXPECT_EQ(IsKeyDown(31), 0) << "S is not held";
  ASSERT_EQ(Xdotool("keyup w"), 0);
  EXPECT_TRUE(WaitFor([] { return IsKeyDown(17) == 0; })) << "W (17) never showed as released";
  EXPECT_EQ(ReadKey(), "w");
  EXPECT_EQ(IsKeyDown(-1), 0);
  EXPECT_EQ(IsKeyDown(256), 0);
}

TEST_F(Input, KeysQueueInOrderOnePerRead) {
  ASSERT_EQ(Xdotool("key a B 7 Escape Up F1 Return space"), 0);
  const std::vector<std::string> expected = {
      "a", "B", "7", "\x1b", std::string{'\xff', '\xc8'}, std::string{'\xff', '\x3b'}, "\r", " "};
  for (const std::string& want : expected) EXPECT_EQ(WaitForKey(), want);
  EXPECT_EQ(ReadKey(), "");
}

TEST_F(Input, CloseRequestIsAKeyAndTheProgramGoesOn) {
  SendCloseRequest(RuntimeWindowId());
  EXPECT_EQ(WaitForKey(), std::string("\xff"
                                      "k"));
  // Still open and still taking input.
  SCREENSYNC();
  int w = 0;
  int h = 0;
  GetScreenSize(&w, &h);
  EXPECT_EQ(w, 1024);
  EXPECT_EQ(CaptureRuntimeWindow().width, 1024);
  ASSERT_EQ(Xdotool("key x"), 0);
  EXPECT_EQ(WaitForKey(), "x");
}

TEST_F(Input, PointerMovedByAnotherClientShowsOnTheNextRead) {
  ASSERT_EQ(Xdotool("mousemove --sync --window " + window_ + " 100 120"), 0);
  int x = 0;
  int y = 0;
  ASSERT_EQ(GetMouseState(&x, &y, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 120);
  ASSERT_EQ(Xdotool("mousemove --sync --window " + window_ + " 1023 0"), 0);
  ASSERT_EQ(GetMouseState(&x, &y, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(x, 1023);
  EXPECT_EQ(y, 0);
}

TEST_F(Input, OutsideTheWindowEveryOutputIsMinusOne) {
  int ox = 0;
  int oy = 0;
  RuntimeWindowOrigin(&ox, &oy);
  ASSERT_GT(ox + oy, 0) << "the screen must have room around the window for this test";
  ASSERT_EQ(Xdotool("mousemove --sync 0 0"), 0);
  int out[5] = {7, 7, 7, 7, 7};
  EXPECT_NE(GetMouseState(&out[0], &out[1], &out[2], &out[3], &out[4]), 0);
  for (int v : out) EXPECT_EQ(v, -1);
  EXPECT_NE(GetMouseState(nullptr, nullptr, nullptr, nullptr, nullptr), 0);
}

TEST_F(Input, WarpLandsWhereAsked) {
  ASSERT_EQ(Xdotool("mousemove --sync --window " + window_ + " 10 10"), 0);
  SetMouseState(300, 200, -1, -1);
  int x = 0;
  int y = 0;
  ASSERT_EQ(GetMouseState(&x, &y, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(x, 300);
  EXPECT_EQ(y, 200);
  int ox = 0;
  int oy = 0;
  RuntimeWindowOrigin(&ox, &oy);
  int sx = 0;
  int sy = 0;
  PointerOnScreen(&sx, &sy);
  EXPECT_EQ(sx, ox + 300);
  EXPECT_EQ(sy, oy + 200);
  // -1 for x and y leaves the pointer where it is.
  SetMouseState(-1, -1, -1, -1);
  ASSERT_EQ(GetMouseState(&x, &y, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(x, 300);
  EXPECT_EQ(y, 200);
}

TEST_F(Input, WithoutFocusTheMouseFailsAndWarpsNothing) {
  ASSERT_EQ(Xdotool("mousemove --sync --window " + window_ + " 50 60"), 0);
  DropInputFocus();
  int x = 0;
  EXPECT_TRUE(WaitFor([&x] { return GetMouseState(&x, nullptr, nullptr, nullptr, nullptr); }));
  EXPECT_EQ(x, -1);
  SetMouseState(400, 400, -1, -1);
  int ox = 0;
  int oy = 0;
  RuntimeWindowOrigin(&ox, &oy);
  int sx = 0;
  int sy = 0;
  PointerOnScreen(&sx, &sy);
  EXPECT_EQ(sx, ox + 50);
  EXPECT_EQ(sy, oy + 60);
}

TEST_F(Input, ButtonsWheelVisibilityAndConfinement) {
  ASSERT_EQ(Xdotool("mousemove --sync --window " + window_ + " 200 200"), 0);
  int buttons = 0;
  int wheel = 0;
  int confined = -5;
  ASSERT_EQ(GetMouseState(nullptr, nullptr, &wheel, &buttons, &confined), 0);
  EXPECT_EQ(buttons, 0);
  EXPECT_EQ(confined, 0);
  const int wheel_before = wheel;
  ASSERT_EQ(Xdotool("mousedown 1"), 0);
  EXPECT_TRUE(WaitFor([&] {
    GetMouseState(nullptr, nullptr, nullptr, &buttons, nullptr);
    return buttons == 1;
  }));
  ASSERT_EQ(Xdotool("mouseup 1"), 0);
  ASSERT_EQ(Xdotool("click 4"), 0);  // one wheel step up
  EXPECT_TRUE(WaitFor([&] {
    GetMouseState(nullptr, nullptr, &wheel, &buttons, nullptr);
    return buttons == 0 && wheel == wheel_before + 1;
  })) << "buttons "
      << buttons << " wheel " << wheel;

  SetMouseState(-1, -1, 0, 1);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  ASSERT_EQ(GetMouseState(nullptr, nullptr, nullptr, nullptr, &confined), 0);
  EXPECT_EQ(confined, 1);
  SetMouseState(-1, -1, -1, -1);  // leaves both
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  ASSERT_EQ(GetMouseState(nullptr, nullptr, nullptr, nullptr, &confined), 0);
  EXPECT_EQ(confined, 1);
  SetMouseState(-1, -1, 1, 0);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  ASSERT_EQ(GetMouseState(nullptr, nullptr, nullptr, nullptr, &confined), 0);
  EXPECT_EQ(confined, 0);
}

// No window manager runs under a bare X server: the runtime itself must give a newly opened
// window the keyboard, or the program could never read a key.
TEST(NewWindow, TakesTheKeyboardByItself) {
  StartRuntime(0, nullptr);
  DropInputFocus();
  SCREENRES(800, 600, 32, 1, 0);
  SCREENSYNC();
  ASSERT_EQ(Xdotool("key q"), 0);
  EXPECT_EQ(WaitForKey(), "q");
}

}  // namespace
