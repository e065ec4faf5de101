// overlay.cpp — SCREENRES opens the window and makes the overlay texture; SCREENSYNC uploads
// the page, draws it as one blended quad over the finished 3D frame, swaps, and hands the GL
// state back to the 3D engine. Nothing is allocated per frame.
#include "overlay.h"

#include "window.h"

#include <GL/gl.h>

#include <cstdint>

namespace OGL {

std::uint32_t TEXTURE = 0;
std::int32_t SCRX = 0;
std::int32_t SCRY = 0;
std::int32_t BPP = 0;
double OFX = 0;
double OFY = 0;
double UPTIME = 0;
std::int32_t FRAMESKIP = 0;
void* BUFFER = nullptr;
std::int32_t CORS[256] = {};

namespace {

// Smallest power of two not less than v (1 for v <= 1); wide enough for any 32-bit request.
std::int64_t CeilPowerOfTwo(std::int64_t v) {
  std::int64_t p = 1;
  while (p < v) p <<= 1;
  return p;
}

std::int32_t RoundUpTo8(std::int32_t v) {
  return static_cast<std::int32_t>((static_cast<std::int64_t>(v) + 7) / 8 * 8);
}

}  // namespace

ScreenPlan PlanScreen(std::int32_t WID, std::int32_t HEI, std::int32_t BPP, std::int32_t FLAGS,
                      std::int32_t desktop_width, std::int32_t desktop_height) {
  if (WID == -1) WID = desktop_width;
  if (HEI == -1) HEI = desktop_height;
  // A request that reaches the desktop's width or height opens fullscreen.
  if (WID >= desktop_width || HEI >= desktop_height) FLAGS |= 1;
  std::int64_t depth = CeilPowerOfTwo(BPP);
  if (depth != 8 && depth != 16 && depth != 32) depth = 32;

  ScreenPlan plan{};
  plan.width = RoundUpTo8(WID);
  plan.height = RoundUpTo8(HEI);
  plan.depth = static_cast<std::int32_t>(depth);
  plan.flags = FLAGS | 2;
  plan.texture_width = static_cast<std::int32_t>(CeilPowerOfTwo(plan.width));
  plan.texture_height = static_cast<std::int32_t>(CeilPowerOfTwo(plan.height));
  plan.ofx = static_cast<double>(plan.width) / plan.texture_width;
  plan.ofy = static_cast<double>(plan.height) / plan.texture_height;
  return plan;
}

void CALLSCREEN(std::int32_t WID, std::int32_t HEI, std::int32_t BPP, std::int32_t PAGS,
                std::int32_t FLAGS) {
  OpenScreen(WID, HEI, BPP, PAGS, FLAGS, 0);
  SetScreenTitle("Sky");
}

}  // namespace OGL

void SCREENRES(std::int32_t WID, std::int32_t HEI, std::int32_t BPP, std::int32_t PAGS,
               std::int32_t FLAGS) {
  int SCX = 0;
  int SCY = 0;
  GetDesktopSize(&SCX, &SCY);
  const OGL::ScreenPlan plan = OGL::PlanScreen(WID, HEI, BPP, FLAGS, SCX, SCY);
  const std::int32_t TEXX = plan.texture_width;
  const std::int32_t TEYY = plan.texture_height;
  OGL::SCRX = plan.width;
  OGL::SCRY = plan.height;
  OGL::OFX = plan.ofx;
  OGL::OFY = plan.ofy;
  OGL::BPP = plan.depth;
  OGL::CALLSCREEN(OGL::SCRX, OGL::SCRY, plan.depth, PAGS, plan.flags);

  glViewport(0, 0, OGL::SCRX, OGL::SCRY);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_TEXTURE_2D);
  GLuint name = 0;
  glGenTextures(1, &name);
  OGL::TEXTURE = name;
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glLoadIdentity();
  glBindTexture(GL_TEXTURE_2D, OGL::TEXTURE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

  if (plan.depth == 16) {
    void* TMP = AllocateImage(TEXX, TEYY, 0, 16, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, TEXX, TEYY, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5,
                 TMP != nullptr ? ImagePixels(TMP) : nullptr);
    ReleaseImage(TMP);
  } else {
    // 8-bit pages are expanded through the palette into a 32-bit image kept for the whole run.
    void* TMP = AllocateImage(TEXX, TEYY, 0, 32, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, TEXX, TEYY, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 TMP != nullptr ? ImagePixels(TMP) : nullptr);
    if (plan.depth == 8) {
      ReleaseImage(OGL::BUFFER);
      OGL::BUFFER = TMP;
    } else {
      ReleaseImage(TMP);
    }
  }
  SetBackgroundColor(0);
  ClearPage();
}

void SCREENSYNC() {
  static std::int32_t FS = 0;
  glActiveTexture(GL_TEXTURE0);
  glClientActiveTexture(GL_TEXTURE0);
  glColor4f(1, 1, 1, 1);
  const double BT = GetTime();
  glBindTexture(GL_TEXTURE_2D, OGL::TEXTURE);

  FS = FS + 1;
  if (FS > OGL::FRAMESKIP) FS = 0;
  if (FS == 0) {
    if (OGL::BPP == 32) {
      glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, OGL::SCRX, OGL::SCRY, GL_BGRA, GL_UNSIGNED_BYTE,
                      GetPagePointer());
    } else if (OGL::BPP == 16) {
      glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, OGL::SCRX, OGL::SCRY, GL_RGB, GL_UNSIGNED_SHORT_5_6_5,
                      GetPagePointer());
    } else if (OGL::BUFFER != nullptr) {
      for (int i = 0; i < 256; ++i) OGL::CORS[i] = static_cast<std::int32_t>(GetPaletteEntry(i));
      const auto* page = static_cast<const std::uint8_t*>(GetPagePointer());
      auto* pixels = static_cast<std::int32_t*>(ImagePixels(OGL::BUFFER));
      const std::int64_t BUFSZ = static_cast<std::int64_t>(OGL::SCRX) * OGL::SCRY;
      for (std::int64_t i = 0; i < BUFSZ; ++i) pixels[i] = OGL::CORS[page[i]];
      glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, OGL::SCRX, OGL::SCRY, GL_BGRA, GL_UNSIGNED_BYTE,
                      pixels);
    }
  }

  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glDisable(GL_NORMALIZE);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(-1, 1, -1, 1, -1, 1);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glEnable(GL_ALPHA_TEST);
  glDisable(GL_DEPTH_TEST);
  glMatrixMode(GL_MODELVIEW);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glLoadIdentity();

  const auto ofx = static_cast<GLfloat>(OGL::OFX);
  const auto ofy = static_cast<GLfloat>(OGL::OFY);
  glBegin(GL_QUADS);
  glTexCoord2f(ofx, ofy);
  glVertex3f(1, -1, 0);
  glTexCoord2f(0, ofy);
  glVertex3f(-1, -1, 0);
  glTexCoord2f(0, 0);
  glVertex3f(-1, 1, 0);
  glTexCoord2f(ofx, 0);
  glVertex3f(1, 1, 0);
  glEnd();

  OGL::UPTIME = GetTime() - BT;
  PresentFrame();

  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glEnable(GL_LIGHTING);
  glEnable(GL_CULL_FACE);
  glEnable(GL_NORMALIZE);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
}
