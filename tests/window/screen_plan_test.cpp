// screen_plan_test.cpp — what SCREENRES makes of a request: size rounding, texture size and
// share, depth, and when the fullscreen flag is added. Pure arithmetic, no window.
#include "overlay.h"

#include <gtest/gtest.h>

namespace {

struct PlanCase {
  int wid, hei, bpp, flags, desktop_w, desktop_h;
  int width, height, depth, out_flags, tex_w, tex_h;
  double ofx, ofy;
};

TEST(PlanScreen, SizesTexturesAndFullscreenRule) {
  const PlanCase cases[] = {
      // wid   hei  bpp fl  desktop      w     h   bpp fl  texture     ofx        ofy
      {1024, 768, 32, 0, 1920, 1200, 1024, 768, 32, 2, 1024, 1024, 1.0, 0.75},
      {1000, 700, 32, 0, 1920, 1200, 1000, 704, 32, 2, 1024, 1024, 0.9765625, 0.6875},
      {1920, 1080, 32, 0, 1920, 1200, 1920, 1080, 32, 3, 2048, 2048, 0.9375, 0.52734375},
      {-1, -1, 32, 0, 1920, 1200, 1920, 1200, 32, 3, 2048, 2048, 0.9375, 0.5859375},
      {1024, 1200, 32, 0, 1920, 1200, 1024, 1200, 32, 3, 1024, 2048, 1.0, 0.5859375},
      {1919, 1199, 32, 0, 1920, 1200, 1920, 1200, 32, 2, 2048, 2048, 0.9375, 0.5859375},
      // the demo's request on a desktop no larger than it: fullscreen
      {1024, 768, 32, 0, 1024, 768, 1024, 768, 32, 3, 1024, 1024, 1.0, 0.75},
      {1024, 768, 32, 0, 1280, 768, 1024, 768, 32, 3, 1024, 1024, 1.0, 0.75},
      // no display: desktop 0 x 0, so any request reaches it
      {640, 480, 32, 0, 0, 0, 640, 480, 32, 3, 1024, 512, 0.625, 0.9375},
      // other flag bits are handed on unchanged
      {800, 600, 32, 8, 1920, 1200, 800, 600, 32, 10, 1024, 1024, 0.78125, 0.5859375},
      {1, 1, 32, 0, 1920, 1200, 8, 8, 32, 2, 8, 8, 1.0, 1.0},
  };
  for (const PlanCase& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.wid << "x" << c.hei << " on " << c.desktop_w << "x" << c.desktop_h);
    const OGL::ScreenPlan plan =
        OGL::PlanScreen(c.wid, c.hei, c.bpp, c.flags, c.desktop_w, c.desktop_h);
    EXPECT_EQ(plan.width, c.width);
    EXPECT_EQ(plan.height, c.height);
    EXPECT_EQ(plan.depth, c.depth);
    EXPECT_EQ(plan.flags, c.out_flags);
    EXPECT_EQ(plan.texture_width, c.tex_w);
    EXPECT_EQ(plan.texture_height, c.tex_h);
    EXPECT_DOUBLE_EQ(plan.ofx, c.ofx);
    EXPECT_DOUBLE_EQ(plan.ofy, c.ofy);
  }
}

TEST(PlanScreen, DepthRequests) {
  const struct {
    int requested;
    int depth;
  } cases[] = {{32, 32}, {24, 32}, {17, 32}, {16, 16}, {15, 16}, {9, 16},  {8, 8},
               {5, 8},   {4, 32},  {2, 32},  {64, 32}, {0, 32},  {-8, 32}, {0x7FFFFFFF, 32}};
  for (const auto& c : cases) {
    EXPECT_EQ(OGL::PlanScreen(1024, 768, c.requested, 0, 1920, 1200).depth, c.depth)
        << "requested " << c.requested;
  }
}

}  // namespace
