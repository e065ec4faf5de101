// page_test.cpp — the 2D page on an open screen: the 8x8 font (every printable glyph distinct,
// only glyph pixels written, clipped at the edges), clearing at each depth, the colours after
// opening, and the page shown by the runtime itself when there is no GL context.
#include "window.h"
#include "x_display.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>

namespace {

using Mask = std::array<std::uint8_t, 8>;

std::uint32_t* Page32() {
  return static_cast<std::uint32_t*>(GetPagePointer());
}

class Page : public ::testing::Test {
 protected:
  static constexpr int kW = 256;
  static constexpr int kH = 64;
  static void SetUpTestSuite() {
    StartRuntime(0, nullptr);
    OpenScreen(kW, kH, 32, 2, 0, 0);  // no GL context: the runtime shows the page itself
  }
  void SetUp() override {
    SetForegroundColor(0xFFFFFFFFu);
    SetBackgroundColor(0);
    ClearPage();
  }
  // The lit pixels of the cell at (x, y), one byte per row, leftmost pixel in bit 0x80.
  static Mask CellMask(int x0, int y0, std::uint32_t colour) {
    Mask mask{};
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) {
        if (Page32()[(y0 + y) * kW + x0 + x] == colour) mask[y] |= 0x80u >> x;
      }
    }
    return mask;
  }
  static int CountNot(std::uint32_t value) {
    int n = 0;
    for (int i = 0; i < kW * kH; ++i) n += Page32()[i] != value;
    return n;
  }
};

TEST_F(Page, EveryPrintableGlyphIsDistinctAndOnlySpaceIsBlank) {
  std::map<Mask, char> seen;
  for (int c = 0x20; c <= 0x7E; ++c) {
    ClearPage();
    DrawText(16, 8, std::string(1, static_cast<char>(c)));
    const Mask mask = CellMask(16, 8, 0xFFFFFFFFu);
    int lit = 0;
    for (std::uint8_t row : mask) lit += __builtin_popcount(row);
    EXPECT_EQ(CountNot(0), lit) << "'" << static_cast<char>(c) << "' wrote outside its cell";
    if (c == ' ') {
      EXPECT_EQ(lit, 0);
    } else {
      EXPECT_GT(lit, 0) << "'" << static_cast<char>(c) << "' is blank";
    }
    const auto [it, fresh] = seen.emplace(mask, static_cast<char>(c));
    EXPECT_TRUE(fresh) << "'" << static_cast<char>(c) << "' looks like '" << it->second << "'";
  }
  EXPECT_EQ(seen.size(), 95u);
}

TEST_F(Page, TextWritesOnlyGlyphPixelsInTheForegroundCellAfterCell) {
  SetBackgroundColor(0x11223344u);
  ClearPage();
  DrawText(0, 0, "A");
  const Mask a = CellMask(0, 0, 0xFFFFFFFFu);
  ClearPage();
  DrawText(0, 0, "B");
  const Mask b = CellMask(0, 0, 0xFFFFFFFFu);
  ClearPage();
  SetForegroundColor(0xFF00FF00u);
  DrawText(3, 5,
           "AB\x01\xe9"
           "A");  // bytes without a glyph take a cell and draw nothing
  EXPECT_EQ(CellMask(3, 5, 0xFF00FF00u), a);
  EXPECT_EQ(CellMask(11, 5, 0xFF00FF00u), b);
  EXPECT_EQ(CellMask(35, 5, 0xFF00FF00u), a);
  for (int i = 0; i < kW * kH; ++i) {
    ASSERT_TRUE(Page32()[i] == 0x11223344u || Page32()[i] == 0xFF00FF00u) << i;
  }
}

TEST_F(Page, TextIsClippedAtEveryEdge) {
  DrawText(0, 0, "M");
  const Mask m = CellMask(0, 0, 0xFFFFFFFFu);
  ClearPage();
  DrawText(-3, -2, "M");  // shows the glyph's lower-right part in the corner
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 5; ++x) {
      const bool lit = (m[y + 2] & (0x80u >> (x + 3))) != 0;
      EXPECT_EQ(Page32()[y * kW + x] == 0xFFFFFFFFu, lit) << x << "," << y;
    }
  }
  ClearPage();
  DrawText(kW - 4, kH - 4, std::string(1000, 'M'));
  DrawText(-100000, 10, "MMMM");
  DrawText(10, 100000, "MMMM");
  DrawText(2147483000, -2147483000, "MMMM");
  int lit = 0;
  for (int i = 0; i < kW * kH; ++i) lit += Page32()[i] != 0;
  EXPECT_GT(lit, 0);
  EXPECT_LT(lit, 16);
}

TEST_F(Page, TheRuntimeShowsThePageWithoutGl) {
  SetBackgroundColor(0xFF0000FFu);
  ClearPage();
  DrawText(10, 10, "#");
  PresentFrame();
  const CapturedImage shot = CaptureRuntimeWindow();
  ASSERT_EQ(shot.width, kW);
  ASSERT_EQ(shot.height, kH);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      ASSERT_EQ(shot.At(x, y), Page32()[y * kW + x] & 0xFFFFFFu) << x << "," << y;
    }
  }
}

TEST(PageDepths, ClearAndTextAtSixteenAndEightBits) {
  StartRuntime(0, nullptr);
  SetForegroundColor(0xFF123456u);  // opening again resets it to opaque white
  OpenScreen(64, 16, 16, 1, 2, 0);
  auto* p16 = static_cast<std::uint16_t*>(GetPagePointer());
  SetBackgroundColor(0x001F);
  ClearPage();
  DrawText(0, 0, "#");
  int white = 0;
  for (int i = 0; i < 64 * 16; ++i) {
    ASSERT_TRUE(p16[i] == 0x001F || p16[i] == 0xFFFF) << i;
    white += p16[i] == 0xFFFF;
  }
  EXPECT_GT(white, 0);

  OpenScreen(64, 16, 8, 1, 2, 0);
  auto* p8 = static_cast<std::uint8_t*>(GetPagePointer());
  for (int i = 0; i < 64 * 16; ++i) ASSERT_EQ(p8[i], 0) << "a new page starts cleared";
  SetBackgroundColor(9);
  ClearPage();
  DrawText(0, 0, "#");
  white = 0;
  for (int i = 0; i < 64 * 16; ++i) {
    ASSERT_TRUE(p8[i] == 9 || p8[i] == 255) << i;
    white += p8[i] == 255;
  }
  EXPECT_GT(white, 0);
  EXPECT_EQ(GetPaletteEntry(255), 0xFFFFFFFFu);
}

// The death tests run in a fresh copy of the test program: a forked child would share the
// parent's X connection.
TEST(EndProgram, ClosesTheWindowAndExitsWithTheStatus) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        StartRuntime(0, nullptr);
        OpenScreen(64, 64, 32, 1, 2, 0);
        PresentFrame();
        EndProgram(3);
      },
      ::testing::ExitedWithCode(3), "");
}

TEST(OpenScreen, PagesBeyondMemoryEndWithOneLine) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        StartRuntime(0, nullptr);
        OpenScreen(65536, 65536, 32, 0x7FFFFFFF, 2, 0);  // 2^65 bytes
      },
      ::testing::ExitedWithCode(1), "^game: cannot open a window: not enough memory[^\n]*\n$");
}

TEST(OpenScreen, NoGlContextEndsWithOneLine) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        setenv("SDL_OPENGL_LIBRARY", "/nonexistent/libGL.so.1", 1);  // no GL driver to load
        StartRuntime(0, nullptr);
        OpenScreen(320, 240, 32, 1, 2, 0);
      },
      ::testing::ExitedWithCode(1), "^game: cannot open a window: [^\n]+\n$");
}

}  // namespace
