// runtime_test.cpp — the window runtime's parts that need no display: images, the palette,
// time, directories, and the clean refusal to run without a display.
#include "window.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>

namespace {

TEST(AllocateImage, PixelsFollowA32ByteHeaderAndTakeTheFill) {
  const struct {
    int depth;
    std::uint32_t fill;
    std::size_t pixel_bytes;
  } cases[] = {{32, 0, 4}, {32, 0x80FF0102u, 4}, {16, 0xF81F, 2}, {8, 0xAB, 1}};
  for (const auto& c : cases) {
    void* image = AllocateImage(16, 8, c.fill, c.depth, 0);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(static_cast<unsigned char*>(ImagePixels(image)) - static_cast<unsigned char*>(image),
              32);
    const auto* bytes = static_cast<const unsigned char*>(ImagePixels(image));
    for (std::size_t i = 0; i < 16 * 8; ++i) {
      std::uint32_t value = 0;
      std::memcpy(&value, bytes + i * c.pixel_bytes, c.pixel_bytes);
      ASSERT_EQ(value, c.fill) << "depth " << c.depth << " pixel " << i;
    }
    ReleaseImage(image);
  }
}

TEST(AllocateImage, RefusesWhatItCannotHold) {
  EXPECT_EQ(AllocateImage(0, 8, 0, 32, 0), nullptr);
  EXPECT_EQ(AllocateImage(8, -1, 0, 32, 0), nullptr);
  EXPECT_EQ(AllocateImage(8, 8, 0, 24, 0), nullptr);
  ReleaseImage(nullptr);  // harmless
}

TEST(Palette, TransparentZeroOpaqueRestWhiteAtTheTop) {
  EXPECT_EQ(GetPaletteEntry(0), 0x00000000u);
  EXPECT_EQ(GetPaletteEntry(15), 0xFFFFFFFFu);
  EXPECT_EQ(GetPaletteEntry(255), 0xFFFFFFFFu);
  EXPECT_EQ(GetPaletteEntry(16 + 5 * 36), 0xFFFF0000u);
  EXPECT_EQ(GetPaletteEntry(16 + 5), 0xFF0000FFu);
  std::set<std::uint32_t> cube;
  for (int i = 1; i < 256; ++i) {
    EXPECT_EQ(GetPaletteEntry(i) >> 24, 0xFFu) << i;
    if (i >= 16 && i < 232) cube.insert(GetPaletteEntry(i));
  }
  EXPECT_EQ(cube.size(), 216u);
  EXPECT_EQ(GetPaletteEntry(-1), 0u);
  EXPECT_EQ(GetPaletteEntry(256), 0u);
}

TEST(Time, ClimbsInMicrosecondsAndSleepsAtLeastAsAsked) {
  const double start = GetTime();
  SleepMilliseconds(20);
  const double slept = GetTime() - start;
  EXPECT_GE(slept, 0.020);
  const double t = GetTime();
  EXPECT_DOUBLE_EQ(t * 1e6, std::round(t * 1e6));
  SleepMilliseconds(-5);  // no sleep, no hang
}

TEST(Directories, ExeDirectoryAndChangeDirectory) {
  const std::string dir = GetExeDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_NE(dir.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(dir + "/runtime_test"));
  const std::filesystem::path before = std::filesystem::current_path();
  EXPECT_EQ(ChangeDirectory(dir), 1);
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(dir));
  EXPECT_EQ(ChangeDirectory("/no/such/directory"), 0);
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(dir));
  std::filesystem::current_path(before);
}

TEST(ScreenBeforeOpening, ReportsNothingAndDrawsNowhere) {
  int w = -1;
  int h = -1;
  GetScreenSize(&w, &h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(GetPagePointer(), nullptr);
  ClearPage();
  DrawText(0, 0, "x");
  EXPECT_EQ(ReadKey(), "");
  int x = 0;
  EXPECT_NE(GetMouseState(&x, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(x, -1);
}

// Without a display the program must stop with one line and status 1, also when SDL would
// otherwise fall back on a driver that draws nowhere.
void OpenWithoutDisplay(const char* driver, const char* display = nullptr) {
  unsetenv("DISPLAY");
  if (display != nullptr) setenv("DISPLAY", display, 1);
  unsetenv("WAYLAND_DISPLAY");
  if (driver != nullptr) setenv("SDL_VIDEODRIVER", driver, 1);
  StartRuntime(0, nullptr);
  int w = -1;
  int h = -1;
  GetDesktopSize(&w, &h);
  if (w != 0 || h != 0) std::_Exit(3);
  OpenScreen(640, 480, 32, 1, 2, 0);
  std::_Exit(2);  // must not get here
}

TEST(NoDisplay, EndsWithOneLineAndStatusOne) {
  for (const char* driver : {static_cast<const char*>(nullptr), "offscreen", "dummy"}) {
    SCOPED_TRACE(driver ? driver : "default driver");
    EXPECT_EXIT(OpenWithoutDisplay(driver), ::testing::ExitedWithCode(1),
                "^game: cannot open a window: [^\n]+\n$");
  }
  EXPECT_EXIT(OpenWithoutDisplay(nullptr, ":4711"), ::testing::ExitedWithCode(1),
              "^game: cannot open a window: cannot reach the X display \":4711\"\n$");
}

TEST(BadScreenRequest, EndsWithOneLineAndStatusOne) {
  EXPECT_EXIT(OpenScreen(0, 480, 32, 1, 2, 0), ::testing::ExitedWithCode(1),
              "^game: cannot open a window: bad size 0x480\n$");
  EXPECT_EXIT(OpenScreen(640, 480, 24, 1, 2, 0), ::testing::ExitedWithCode(1),
              "^game: cannot open a window: bad depth 24");
}

}  // namespace
