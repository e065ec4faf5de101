// overlay_test.cpp — the overlay composed over real GL frames, read back from the X server as
// presented: transparency, opacity, blending, orientation, text, frame skip, depths, and the GL
// state handed back to the 3D engine.
#include "overlay.h"
#include "window.h"
#include "x_display.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

std::uint32_t* Page32() {
  return static_cast<std::uint32_t*>(GetPagePointer());
}

// The "3D frame": the whole back buffer in one colour.
void DrawFrame(int r, int g, int b) {
  glClearColor(static_cast<float>(r) / 255, static_cast<float>(g) / 255,
               static_cast<float>(b) / 255, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void FillRect(int x0, int y0, int w, int h, std::uint32_t value) {
  for (int y = y0; y < y0 + h; ++y) {
    for (int x = x0; x < x0 + w; ++x) Page32()[y * OGL::SCRX + x] = value;
  }
}

class Overlay32 : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    StartRuntime(0, nullptr);
    SCREENRES(1024, 768, 32, 1, 0);
  }
  void SetUp() override {
    OGL::FRAMESKIP = 0;
    LockPage();
    ClearPage();
    UnlockPage();
  }
};

TEST_F(Overlay32, OpensTheRequestedWindowAndTexture) {
  int w = 0;
  int h = 0;
  GetScreenSize(&w, &h);
  EXPECT_EQ(w, 1024);
  EXPECT_EQ(h, 768);
  EXPECT_EQ(OGL::SCRX, 1024);
  EXPECT_EQ(OGL::SCRY, 768);
  EXPECT_EQ(OGL::BPP, 32);
  EXPECT_DOUBLE_EQ(OGL::OFX, 1.0);
  EXPECT_DOUBLE_EQ(OGL::OFY, 0.75);
  EXPECT_NE(OGL::TEXTURE, 0u);
  glBindTexture(GL_TEXTURE_2D, OGL::TEXTURE);
  GLint tw = 0;
  GLint th = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &tw);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &th);
  EXPECT_EQ(tw, 1024);
  EXPECT_EQ(th, 1024);
  const CapturedImage shot = CaptureRuntimeWindow();
  EXPECT_EQ(shot.width, 1024);
  EXPECT_EQ(shot.height, 768);
  EXPECT_STREQ(SDL_GetWindowTitle(SDL_GL_GetCurrentWindow()), "Sky");
  EXPECT_EQ(SDL_GetWindowFlags(SDL_GL_GetCurrentWindow()) & SDL_WINDOW_FULLSCREEN, 0u)
      << "1024x768 is smaller than the desktop both ways: a window, not fullscreen";
}

TEST_F(Overlay32, ClearedPageLeavesTheFrameUnchanged) {
  DrawFrame(40, 120, 200);
  SCREENSYNC();
  const CapturedImage shot = CaptureRuntimeWindow();
  int wrong = 0;
  for (std::uint32_t c : shot.rgb) wrong += c != 0x2878C8u;
  EXPECT_EQ(wrong, 0) << "pixels that differ from the 3D frame";
}

TEST_F(Overlay32, OpaqueWhiteHidesTheFrameWhereItIsDrawn) {
  FillRect(100, 50, 100, 40, 0xFFFFFFFFu);
  DrawFrame(40, 120, 200);
  SCREENSYNC();
  const CapturedImage shot = CaptureRuntimeWindow();
  for (int y = 0; y < 768; y += 3) {
    for (int x = 0; x < 1024; x += 3) {
      const bool inside = x >= 100 && x < 200 && y >= 50 && y < 90;
      ASSERT_EQ(shot.At(x, y), inside ? 0xFFFFFFu : 0x2878C8u) << "at " << x << "," << y;
    }
  }
}

TEST_F(Overlay32, HalfAlphaBlendsAboutHalfAndHalf) {
  FillRect(0, 0, 1024, 768, 0x80FFFFFFu);  // white at alpha 0x80
  DrawFrame(0, 0, 200);
  SCREENSYNC();
  const CapturedImage shot = CaptureRuntimeWindow();
  const double a = 128.0 / 255.0;
  for (const auto& [x, y] : {std::pair{0, 0}, {511, 383}, {1023, 767}, {700, 20}}) {
    const std::uint32_t c = shot.At(x, y);
    EXPECT_NEAR(Red(c), 255 * a, 2) << x << "," << y;
    EXPECT_NEAR(Blue(c), 255 * a + 200 * (1 - a), 2) << x << "," << y;
  }
}

// Every page pixel must land, unfiltered, on the window pixel with the same coordinates: this
// catches a page shown upside down, mirrored, shifted or smeared by the texture filter.
TEST_F(Overlay32, EachPagePixelLandsOnTheSameWindowPixel) {
  for (int y = 0; y < 768; ++y) {
    for (int x = 0; x < 1024; ++x) {
      const std::uint32_t r = static_cast<std::uint32_t>(x & 0xFF);
      const std::uint32_t g = static_cast<std::uint32_t>(y & 0xFF);
      const std::uint32_t b = static_cast<std::uint32_t>((x >> 8) | (y >> 8) << 4);
      Page32()[y * 1024 + x] = 0xFF000000u | r << 16 | g << 8 | b;
    }
  }
  DrawFrame(0, 0, 0);
  SCREENSYNC();
  const CapturedImage shot = CaptureRuntimeWindow();
  int wrong = 0;
  for (int y = 0; y < 768; ++y) {
    for (int x = 0; x < 1024; ++x) wrong += shot.At(x, y) != (Page32()[y * 1024 + x] & 0xFFFFFFu);
  }
  EXPECT_EQ(wrong, 0) << "window pixels that do not show their page pixel";
  EXPECT_EQ(shot.At(0, 0), 0x000000u);    // top-left of the page at the window's top-left
  EXPECT_EQ(shot.At(5, 767), 0x05FF20u);  // bottom row: y = 767 = 0x2FF
}

TEST_F(Overlay32, TextAtTenTenLandsInItsCellBand) {
  LockPage();
  DrawText(10, 10, "Sky 90.40000000000001");
  UnlockPage();
  DrawFrame(0, 0, 0);
  SCREENSYNC();
  const CapturedImage shot = CaptureRuntimeWindow();
  int lit = 0;
  int misplaced = 0;
  for (int y = 0; y < 768; ++y) {
    for (int x = 0; x < 1024; ++x) {
      const bool white = shot.At(x, y) == 0xFFFFFFu;
      ASSERT_EQ(white, Page32()[y * 1024 + x] == 0xFFFFFFFFu) << "at " << x << "," << y;
      if (white) {
        ++lit;
        misplaced += y < 10 || y > 17 || x < 10 || x >= 10 + 21 * 8;
      }
    }
  }
  EXPECT_GT(lit, 100);
  EXPECT_EQ(misplaced, 0);
}

// With FRAMESKIP 2 the page goes up on every third call; the quad is drawn on every call.
TEST_F(Overlay32, FrameSkipUploadsOnEveryThirdCall) {
  SCREENSYNC();  // with FRAMESKIP 0 this uploads and restarts the counter at 0
  OGL::FRAMESKIP = 2;
  std::vector<int> shown;
  for (int call = 1; call <= 9; ++call) {
    FillRect(0, 0, 16, 16, 0xFF000000u | static_cast<std::uint32_t>(call * 20) << 16);
    DrawFrame(0, 0, 0);
    SCREENSYNC();
    shown.push_back(Red(CaptureRuntimeWindow().At(8, 8)) / 20);
  }
  OGL::FRAMESKIP = 0;
  // Before call 3 the texture still holds the cleared page, which shows the black frame.
  EXPECT_EQ(shown, (std::vector<int>{0, 0, 3, 3, 3, 6, 6, 6, 9}));
}

TEST_F(Overlay32, HandsBackTheStateTheEngineDrawsFrom) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glFrustum(-1, 1, -0.75, 0.75, 1, 100);
  GLfloat before[16];
  glGetFloatv(GL_PROJECTION_MATRIX, before);
  GLint depth_before = 0;
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth_before);
  glMatrixMode(GL_MODELVIEW);
  glTranslatef(1, 2, 3);
  for (int i = 0; i < 200; ++i) SCREENSYNC();

  GLint depth_after = 0;
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth_after);
  EXPECT_EQ(depth_after, depth_before);
  GLfloat after[16];
  glGetFloatv(GL_PROJECTION_MATRIX, after);
  EXPECT_EQ(std::memcmp(before, after, sizeof before), 0) << "projection matrix changed";
  GLfloat modelview[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(modelview[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  const struct {
    GLenum cap;
    bool enabled;
  } expected[] = {{GL_LIGHTING, true},   {GL_CULL_FACE, true},  {GL_NORMALIZE, true},
                  {GL_DEPTH_TEST, true}, {GL_ALPHA_TEST, true}, {GL_TEXTURE_2D, false},
                  {GL_BLEND, false}};
  for (const auto& e : expected) EXPECT_EQ(glIsEnabled(e.cap) == GL_TRUE, e.enabled) << e.cap;
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<std::uint32_t>(bound), OGL::TEXTURE);
  EXPECT_GE(OGL::UPTIME, 0.0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
}

TEST(OverlayScreens, RoundsTheSizeUpToMultiplesOfEight) {
  StartRuntime(0, nullptr);
  SCREENRES(1000, 700, 32, 1, 0);
  int w = 0;
  int h = 0;
  GetScreenSize(&w, &h);
  EXPECT_EQ(w, 1000);
  EXPECT_EQ(h, 704);
  EXPECT_DOUBLE_EQ(OGL::OFX, 0.9765625);
  EXPECT_DOUBLE_EQ(OGL::OFY, 0.6875);
  std::uint32_t* page = Page32();
  page[703 * 1000 + 999] = 0xFFFFFFFFu;  // the last pixel of the page
  DrawFrame(0, 0, 0);
  SCREENSYNC();
  const CapturedImage shot = CaptureRuntimeWindow();
  ASSERT_EQ(shot.width, 1000);
  ASSERT_EQ(shot.height, 704);
  EXPECT_EQ(shot.At(999, 703), 0xFFFFFFu);
  EXPECT_EQ(shot.At(998, 703), 0x000000u);
}

TEST(OverlayScreens, SixteenBitPageCoversTheFrame) {
  StartRuntime(0, nullptr);
  SCREENRES(640, 480, 15, 1, 0);
  ASSERT_EQ(OGL::BPP, 16);
  auto* page = static_cast<std::uint16_t*>(GetPagePointer());
  for (int x = 0; x < 640; ++x) page[x] = 0xF800;              // top row red
  for (int x = 0; x < 640; ++x) page[479 * 640 + x] = 0x001F;  // bottom row blue
  DrawFrame(0, 200, 0);
  SCREENSYNC();
  const CapturedImage shot = CaptureRuntimeWindow();
  EXPECT_EQ(shot.At(320, 0), 0xFF0000u);
  EXPECT_EQ(shot.At(320, 479), 0x0000FFu);
  EXPECT_EQ(shot.At(320, 240), 0x000000u) << "a 16-bit page has no transparency";
}

TEST(OverlayScreens, EightBitPageGoesThroughThePalette) {
  StartRuntime(0, nullptr);
  SCREENRES(640, 480, 8, 1, 0);
  ASSERT_EQ(OGL::BPP, 8);
  ASSERT_NE(OGL::BUFFER, nullptr);
  auto* page = static_cast<std::uint8_t*>(GetPagePointer());
  const int red = 16 + 5 * 36;  // the colour cube's pure red
  for (int x = 0; x < 640; ++x) page[x] = static_cast<std::uint8_t>(red);
  DrawText(10, 10, "A");  // foreground 0xFFFFFFFF: index 255, white
  DrawFrame(0, 0, 200);
  SCREENSYNC();
  EXPECT_EQ(static_cast<std::uint32_t>(OGL::CORS[red]), 0xFFFF0000u);
  EXPECT_EQ(static_cast<std::uint32_t>(OGL::CORS[255]), 0xFFFFFFFFu);
  const CapturedImage shot = CaptureRuntimeWindow();
  EXPECT_EQ(shot.At(100, 0), 0xFF0000u);
  EXPECT_EQ(shot.At(100, 300), 0x0000C8u) << "index 0 lets the frame through";
  int white = 0;
  for (int y = 10; y < 18; ++y) {
    for (int x = 10; x < 18; ++x) white += shot.At(x, y) == 0xFFFFFFu;
  }
  EXPECT_GT(white, 8);
}

TEST(OverlayScreens, DesktopSizeRequestOpensFullscreen) {
  StartRuntime(0, nullptr);
  int dw = 0;
  int dh = 0;
  GetDesktopSize(&dw, &dh);
  ASSERT_GT(dw, 0);
  SCREENRES(-1, -1, 32, 1, 0);
  int w = 0;
  int h = 0;
  GetScreenSize(&w, &h);
  EXPECT_EQ(w, dw);
  EXPECT_EQ(h, dh);
  EXPECT_NE(SDL_GetWindowFlags(SDL_GL_GetCurrentWindow()) & SDL_WINDOW_FULLSCREEN, 0u);
  Page32()[0] = 0xFFFFFFFFu;
  DrawFrame(0, 0, 0);
  SCREENSYNC();
  int ox = -1;
  int oy = -1;
  RuntimeWindowOrigin(&ox, &oy);
  EXPECT_EQ(ox, 0);
  EXPECT_EQ(oy, 0);
  const CapturedImage shot = CaptureRuntimeWindow();
  ASSERT_EQ(shot.width, dw);
  ASSERT_EQ(shot.height, dh);
  EXPECT_EQ(shot.At(0, 0), 0xFFFFFFu);
  EXPECT_EQ(shot.At(1, 0), 0x000000u);
}

}  // namespace
