// Tests of the single-precision gluProject / gluUnProject: a long double evaluation of the same
// formulas, exact cases, round trips, every failure path (outputs untouched), the row exchanges
// of the inverse, and one program holding these and double-precision C functions of the same name.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <utility>

#include "glu_double_standin.h"
#include "project.h"

namespace {

using Mat = std::array<float, 16>;
using Viewport = std::array<int, 4>;

Mat identity() {
  return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Mat translate(float x, float y, float z) {
  Mat m = identity();
  m[12] = x, m[13] = y, m[14] = z;
  return m;
}

Mat scale(float x, float y, float z) {
  Mat m = identity();
  m[0] = x, m[5] = y, m[10] = z;
  return m;
}

Mat perspective(double fovy_degrees, double aspect, double znear, double zfar) {
  const double f = 1.0 / std::tan(fovy_degrees * M_PI / 360.0);
  Mat m{};
  m[0] = static_cast<float>(f / aspect);
  m[5] = static_cast<float>(f);
  m[10] = static_cast<float>((zfar + znear) / (znear - zfar));
  m[11] = -1;
  m[14] = static_cast<float>(2 * zfar * znear / (znear - zfar));
  return m;
}

Mat multiply(const Mat& a, const Mat& b) {  // in double, for building test matrices only
  Mat p{};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += double{a[4 * k + i]} * b[4 * j + k];
      p[4 * j + i] = static_cast<float>(s);
    }
  return p;
}

Mat rotation(double ax, double ay, double az, double angle) {  // unit axis
  const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
  const double r[3][3] = {{t * ax * ax + c, t * ax * ay - s * az, t * ax * az + s * ay},
                          {t * ax * ay + s * az, t * ay * ay + c, t * ay * az - s * ax},
                          {t * ax * az - s * ay, t * ay * az + s * ax, t * az * az + c}};
  Mat m = identity();
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m[4 * j + i] = static_cast<float>(r[i][j]);
  return m;
}

// ---- The same formulas in long double -----------------------------------------------------

using LD = long double;

void ref_transform(LD out[4], const Mat& m, const LD in[4]) {
  for (int i = 0; i < 4; ++i)
    out[i] = m[i] * in[0] + m[4 + i] * in[1] + m[8 + i] * in[2] + m[12 + i] * in[3];
}

bool ref_project(const float obj[3], const Mat& model, const Mat& proj, const Viewport& vp,
                 LD win[3]) {
  const LD in[4] = {obj[0], obj[1], obj[2], 1};
  LD eye[4], clip[4];
  ref_transform(eye, model, in);
  ref_transform(clip, proj, eye);
  if (clip[3] == 0) return false;
  win[0] = vp[0] + ((1 + clip[0] / clip[3]) * vp[2]) / 2;
  win[1] = vp[1] + ((1 + clip[1] / clip[3]) * vp[3]) / 2;
  win[2] = (1 + clip[2] / clip[3]) / 2;
  return true;
}

// Gauss-Jordan with the same row exchanges and the same order of operations.
bool ref_invert(const LD m[16], LD out[16]) {
  LD w[4][8];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      w[i][j] = m[4 * j + i];
      w[i][4 + j] = i == j;
    }
  LD *r0 = w[0], *r1 = w[1], *r2 = w[2], *r3 = w[3];
  auto sw = [](LD*& a, LD*& b) { std::swap(a, b); };
  if (std::fabs(r3[0]) > std::fabs(r2[0])) sw(r3, r2);
  if (std::fabs(r2[0]) > std::fabs(r1[0])) sw(r2, r1);
  if (std::fabs(r1[0]) > std::fabs(r0[0])) sw(r1, r0);
  if (r0[0] == 0) return false;
  LD m1 = r1[0] / r0[0], m2 = r2[0] / r0[0], m3 = r3[0] / r0[0];
  for (int c = 1; c < 8; ++c) r1[c] -= m1 * r0[c], r2[c] -= m2 * r0[c], r3[c] -= m3 * r0[c];
  if (std::fabs(r3[1]) > std::fabs(r2[1])) sw(r3, r2);
  if (std::fabs(r2[1]) > std::fabs(r1[1])) sw(r2, r1);
  if (r1[1] == 0) return false;
  m2 = r2[1] / r1[1], m3 = r3[1] / r1[1];
  for (int c = 2; c < 8; ++c) r2[c] -= m2 * r1[c], r3[c] -= m3 * r1[c];
  if (std::fabs(r3[2]) > std::fabs(r2[2])) sw(r3, r2);
  if (r2[2] == 0) return false;
  m3 = r3[2] / r2[2];
  for (int c = 3; c < 8; ++c) r3[c] -= m3 * r2[c];
  if (r3[3] == 0) return false;
  for (int c = 4; c < 8; ++c) {
    r3[c] /= r3[3];
    r2[c] = (r2[c] - r3[c] * r2[3]) / r2[2];
    r1[c] -= r3[c] * r1[3];
    r0[c] -= r3[c] * r0[3];
    r1[c] = (r1[c] - r2[c] * r1[2]) / r1[1];
    r0[c] -= r2[c] * r0[2];
    r0[c] = (r0[c] - r1[c] * r0[1]) / r0[0];
  }
  LD* rows[4] = {r0, r1, r2, r3};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) out[4 * j + i] = rows[i][4 + j];
  return true;
}

bool ref_unproject(const float win[3], const Mat& model, const Mat& proj, const Viewport& vp,
                   LD obj[3]) {
  const LD in[4] = {((win[0] - static_cast<LD>(vp[0])) * 2) / vp[2] - 1,
                    ((win[1] - static_cast<LD>(vp[1])) * 2) / vp[3] - 1, 2 * LD{win[2]} - 1, 1};
  LD a[16], inv[16];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      a[4 * j + i] = LD{proj[i]} * model[4 * j] + LD{proj[4 + i]} * model[4 * j + 1] +
                     LD{proj[8 + i]} * model[4 * j + 2] + LD{proj[12 + i]} * model[4 * j + 3];
  if (!ref_invert(a, inv)) return false;
  LD out[4];
  for (int i = 0; i < 4; ++i)
    out[i] = inv[i] * in[0] + inv[4 + i] * in[1] + inv[8 + i] * in[2] + inv[12 + i] * in[3];
  if (out[3] == 0) return false;
  for (int i = 0; i < 3; ++i) obj[i] = out[i] / out[3];
  return true;
}

struct Result {
  int ok;
  float v[3];
};

Result project(const float obj[3], const Mat& model, const Mat& proj, const Viewport& vp) {
  Result r{0, {-7, -7, -7}};
  r.ok = gluProject(obj[0], obj[1], obj[2], model.data(), proj.data(), vp.data(), &r.v[0], &r.v[1],
                    &r.v[2]);
  return r;
}

Result unproject(const float win[3], const Mat& model, const Mat& proj, const Viewport& vp) {
  Result r{0, {-7, -7, -7}};
  r.ok = gluUnProject(win[0], win[1], win[2], model.data(), proj.data(), vp.data(), &r.v[0],
                      &r.v[1], &r.v[2]);
  return r;
}

// Cases where every value is a small dyadic number, so float arithmetic is exact and the results
// must equal the long double evaluation bit for bit.
TEST(Project, ExactCasesMatchLongDoubleBitForBit) {
  const Mat skew = {2, 0, 0, 0, 0.5f, 4, 0, 0, 0, 0, 0.25f, 0, 3, -1, 0.5f, 1};
  const Mat scaled_w = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 4};
  struct {
    Mat model, proj;
    Viewport vp;
    float point[3];
    float expected_window[3];  // NaN where only the long double comparison applies
  } cases[] = {
      {identity(), identity(), {0, 0, 640, 480}, {0, 0, 0}, {320, 240, 0.5f}},
      {identity(), identity(), {0, 0, 640, 480}, {1, 1, 1}, {640, 480, 1}},
      {identity(), identity(), {0, 0, 640, 480}, {-1, -1, -1}, {0, 0, 0}},
      {identity(), identity(), {100, 50, 200, 100}, {0, 0, 0}, {200, 100, 0.5f}},
      {skew, identity(), {-8, 16, 64, 32}, {0.5f, -0.25f, 2}, {NAN, NAN, NAN}},
      {translate(0.5f, 0.25f, -0.5f), scaled_w, {0, 0, 1024, 768}, {1, 2, 3}, {NAN, NAN, NAN}},
      {scale(0.5f, 2, 0.25f), skew, {10, 20, 30, 40}, {-3, 0.75f, 8}, {NAN, NAN, NAN}},
  };
  for (const auto& c : cases) {
    LD want[3];
    ASSERT_TRUE(ref_project(c.point, c.model, c.proj, c.vp, want));
    const Result got = project(c.point, c.model, c.proj, c.vp);
    ASSERT_EQ(got.ok, 1);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(got.v[i], static_cast<float>(want[i])) << "window coordinate " << i;
      if (!std::isnan(c.expected_window[i])) {
        EXPECT_EQ(got.v[i], c.expected_window[i]);
      }
    }
    // And back.
    LD back[3];
    ASSERT_TRUE(ref_unproject(got.v, c.model, c.proj, c.vp, back));
    const Result obj = unproject(got.v, c.model, c.proj, c.vp);
    ASSERT_EQ(obj.ok, 1);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(obj.v[i], static_cast<float>(back[i])) << "object coordinate " << i;
      EXPECT_EQ(obj.v[i], c.point[i]) << "object coordinate " << i;
    }
  }
}

// Distance in units in the last place of single precision, measured at the reference's size.
double ulps(float got, LD want) {
  const float w = static_cast<float>(want);
  const float step = std::nextafter(std::fabs(w), INFINITY) - std::fabs(w);
  return static_cast<double>(std::fabs(LD{got} - want) / step);
}

TEST(Project, RandomCamerasAgreeWithLongDouble) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(-1, 1);
  const Viewport vp{16, 8, 800, 600};
  double worst_project = 0, worst_unproject = 0;
  for (int n = 0; n < 2000; ++n) {
    double ax = u(rng), ay = u(rng), az = u(rng);
    const double len = std::sqrt(ax * ax + ay * ay + az * az) + 1e-9;
    const Mat model = multiply(translate(static_cast<float>(u(rng)), static_cast<float>(u(rng)),
                                         static_cast<float>(-20 + 5 * u(rng))),
                               rotation(ax / len, ay / len, az / len, 3 * u(rng)));
    const Mat proj = perspective(40 + 30 * (u(rng) + 1), 4.0 / 3.0, 1, 100);
    const float obj[3] = {static_cast<float>(3 * u(rng)), static_cast<float>(3 * u(rng)),
                          static_cast<float>(3 * u(rng))};
    LD want[3];
    ASSERT_TRUE(ref_project(obj, model, proj, vp, want));
    const Result win = project(obj, model, proj, vp);
    ASSERT_EQ(win.ok, 1);
    for (int i = 0; i < 3; ++i) worst_project = std::max(worst_project, ulps(win.v[i], want[i]));

    const float win_point[3] = {static_cast<float>(400 + 300 * u(rng)),
                                static_cast<float>(300 + 200 * u(rng)),
                                static_cast<float>(0.5 + 0.45 * u(rng))};
    LD back[3];
    ASSERT_TRUE(ref_unproject(win_point, model, proj, vp, back));
    const Result o = unproject(win_point, model, proj, vp);
    ASSERT_EQ(o.ok, 1);
    for (int i = 0; i < 3; ++i) {
      // Unprojecting is ill-conditioned in depth; measure against the point's overall size.
      const LD size = std::max({std::fabs(back[0]), std::fabs(back[1]), std::fabs(back[2])});
      worst_unproject =
          std::max(worst_unproject, static_cast<double>(std::fabs(LD{o.v[i]} - back[i]) / size));
    }
  }
  EXPECT_LT(worst_project, 4.0) << "ulps";
  EXPECT_LT(worst_unproject, 5e-5) << "relative to the point's size";
}

TEST(Project, PerspectiveRoundTripIsWithinAFewUlps) {
  const Mat proj = perspective(60, 4.0 / 3.0, 1, 100);
  const Mat model = translate(0.5f, -0.25f, -10);
  const Viewport vp{0, 0, 640, 480};
  const float obj[3] = {1, 2, 3};
  const Result win = project(obj, model, proj, vp);
  ASSERT_EQ(win.ok, 1);
  const Result back = unproject(win.v, model, proj, vp);
  ASSERT_EQ(back.ok, 1);
  LD exact_back[3];
  ASSERT_TRUE(ref_unproject(win.v, model, proj, vp, exact_back));
  // Rounding the window depth to a float alone moves z by 5 ulps here (depth is compressed
  // toward the far plane); the single-precision inverse adds a few more.
  for (int i = 0; i < 3; ++i) {
    EXPECT_LE(ulps(back.v[i], exact_back[i]), 16) << "coordinate " << i << ": " << back.v[i];
    EXPECT_LE(ulps(back.v[i], obj[i]), 24) << "coordinate " << i << ": " << back.v[i];
  }
}

TEST(Project, WindowDepthZeroAndOneAreTheNearAndFarPlanes) {
  const Mat proj = perspective(60, 4.0 / 3.0, 1, 100);
  const Viewport vp{0, 0, 640, 480};
  for (const auto& [depth, plane] : {std::pair{0.0f, -1.0f}, std::pair{1.0f, -100.0f}}) {
    const float win[3] = {100, 400, depth};
    const Result o = unproject(win, identity(), proj, vp);
    ASSERT_EQ(o.ok, 1);
    EXPECT_NEAR(o.v[2], plane, std::fabs(plane) * 1e-4) << "window z " << depth;
  }
}

// An invertible matrix with a zero top-left element: the inverse must exchange rows. Swapping x
// and y is its own inverse, so unprojecting through it swaps the coordinates back, exactly.
TEST(Project, InverseExchangesRowsForAPermutation) {
  const Mat swap_xy = {0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  const Mat cycle = {0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1};
  const Viewport vp{0, 0, 2, 2};
  const float win[3] = {1.5f, 0.25f, 0.875f};  // in = (0.5, -0.75, 0.75)
  Result o = unproject(win, swap_xy, identity(), vp);
  ASSERT_EQ(o.ok, 1);
  EXPECT_EQ(o.v[0], -0.75f);
  EXPECT_EQ(o.v[1], 0.5f);
  EXPECT_EQ(o.v[2], 0.75f);
  o = unproject(win, cycle, identity(), vp);
  ASSERT_EQ(o.ok, 1);
  // cycle maps (a, b, c) to (b, c, a); its inverse maps (0.5, -0.75, 0.75) to (0.75, 0.5, -0.75).
  EXPECT_EQ(o.v[0], 0.75f);
  EXPECT_EQ(o.v[1], 0.5f);
  EXPECT_EQ(o.v[2], -0.75f);
}

// No tolerance: a pivot of 2^-100 is a pivot.
TEST(Project, TinyPivotsAreAccepted) {
  const float tiny = std::ldexp(1.0f, -100);
  const Viewport vp{0, 0, 2, 2};
  const float win[3] = {1.5f, 1, 1};  // in = (0.5, 0, 1)
  const Result o = unproject(win, scale(tiny, 1, 1), identity(), vp);
  ASSERT_EQ(o.ok, 1);
  EXPECT_EQ(o.v[0], std::ldexp(0.5f, 100));
  EXPECT_EQ(o.v[2], 1.0f);
}

TEST(Project, FailuresReturnZeroAndLeaveOutputsUntouched) {
  const Mat persp = perspective(60, 4.0 / 3.0, 1, 100);
  Mat no_bottom_row = identity();
  no_bottom_row[15] = 0;
  const Mat zero{};
  const Mat swap_xw = {0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0};  // o.w = in.x
  Mat no_w_row = identity();
  no_w_row[15] = 0;  // invertible except for the last pivot
  const float origin[3] = {0, 0, 0};
  const float centre[3] = {1, 1, 0.5f};
  struct {
    const char* name;
    bool unproj;
    Mat model, proj;
    Viewport vp;
    const float* point;
  } cases[] = {
      {"project: the eye itself (w = 0)", false, identity(), persp, {0, 0, 640, 480}, origin},
      {"project: bottom row all zero", false, identity(), no_bottom_row, {0, 0, 640, 480}, origin},
      {"unproject: all-zero model-view (column 0)", true, zero, identity(), {0, 0, 2, 2}, centre},
      {"unproject: x scaled by 0 (column 0)",
       true,
       scale(0, 1, 1),
       identity(),
       {0, 0, 2, 2},
       centre},
      {"unproject: y scaled by 0 (column 1)",
       true,
       scale(1, 0, 1),
       identity(),
       {0, 0, 2, 2},
       centre},
      {"unproject: z scaled by 0 (column 2)", true, scale(1, 1, 0), persp, {0, 0, 2, 2}, centre},
      {"unproject: w row zero (column 3)", true, no_w_row, identity(), {0, 0, 2, 2}, centre},
      {"unproject: resulting w = 0", true, swap_xw, identity(), {0, 0, 2, 2}, centre},
      {"unproject: zero-width viewport", true, identity(), identity(), {0, 0, 0, 480}, centre},
      {"unproject: zero-height viewport", true, identity(), identity(), {5, 5, 640, 0}, centre},
  };
  const float sentinel = std::bit_cast<float>(std::uint32_t{0x7FC01234});  // a tagged NaN
  for (const auto& c : cases) {
    float out[3] = {sentinel, sentinel, sentinel};
    const int ok = c.unproj ? gluUnProject(c.point[0], c.point[1], c.point[2], c.model.data(),
                                           c.proj.data(), c.vp.data(), &out[0], &out[1], &out[2])
                            : gluProject(c.point[0], c.point[1], c.point[2], c.model.data(),
                                         c.proj.data(), c.vp.data(), &out[0], &out[1], &out[2]);
    EXPECT_EQ(ok, 0) << c.name;
    for (float v : out) EXPECT_EQ(std::bit_cast<std::uint32_t>(v), 0x7FC01234u) << c.name;
  }
}

// Each pointer argument in turn null: 0, and the outputs that were given are left untouched.
TEST(Project, NullPointersFailWithoutTouchingOutputs) {
  const Mat m = identity();
  const Viewport vp{0, 0, 640, 480};
  const float sentinel = std::bit_cast<float>(std::uint32_t{0x7FC01234});
  for (int missing = 0; missing < 6; ++missing) {
    for (bool unproj : {false, true}) {
      float out[3] = {sentinel, sentinel, sentinel};
      const float* model = missing == 0 ? nullptr : m.data();
      const float* proj = missing == 1 ? nullptr : m.data();
      const int* viewport = missing == 2 ? nullptr : vp.data();
      float* x = missing == 3 ? nullptr : &out[0];
      float* y = missing == 4 ? nullptr : &out[1];
      float* z = missing == 5 ? nullptr : &out[2];
      const int ok = unproj ? gluUnProject(320, 240, 0.5f, model, proj, viewport, x, y, z)
                            : gluProject(0, 0, 0, model, proj, viewport, x, y, z);
      EXPECT_EQ(ok, 0) << missing << (unproj ? " unproject" : " project");
      for (float v : out) EXPECT_EQ(std::bit_cast<std::uint32_t>(v), 0x7FC01234u) << missing;
    }
  }
}

TEST(Project, ZeroSizeViewportStillProjects) {
  const float origin[3] = {0, 0, 0};
  const Result r = project(origin, identity(), identity(), {30, 40, 0, 0});
  ASSERT_EQ(r.ok, 1);
  EXPECT_EQ(r.v[0], 30);
  EXPECT_EQ(r.v[1], 40);
  EXPECT_EQ(r.v[2], 0.5f);
}

// The float functions and C-linkage double functions of the same names link into one program
// and each call reaches its own implementation.
TEST(Project, LinksBesideDoublePrecisionFunctionsOfTheSameName) {
  const Mat proj = perspective(60, 4.0 / 3.0, 1, 100);
  const Mat model = translate(0.5f, -0.25f, -10);
  double pd[16], md[16];
  for (int i = 0; i < 16; ++i) pd[i] = proj[i], md[i] = model[i];
  const int vp[4] = {0, 0, 640, 480};

  float fx, fy, fz;
  double dx, dy, dz;
  ASSERT_EQ(gluProject(1.0f, 2.0f, 3.0f, model.data(), proj.data(), vp, &fx, &fy, &fz), 1);
  ASSERT_EQ(gluProject(1.0, 2.0, 3.0, md, pd, vp, &dx, &dy, &dz), 1);
  EXPECT_NEAR(fx, dx, 1e-3);
  EXPECT_NEAR(fy, dy, 1e-3);
  EXPECT_NEAR(fz, dz, 1e-5);
  EXPECT_NE(static_cast<double>(fz), dz);  // two different precisions really ran

  float ox, oy, oz;
  double ex, ey, ez;
  ASSERT_EQ(gluUnProject(fx, fy, fz, model.data(), proj.data(), vp, &ox, &oy, &oz), 1);
  ASSERT_EQ(gluUnProject(dx, dy, dz, md, pd, vp, &ex, &ey, &ez), 1);
  EXPECT_NEAR(ox, 1, 1e-4);
  EXPECT_NEAR(ex, 1, 1e-12);
  EXPECT_NEAR(oy, 2, 1e-4);
  EXPECT_NEAR(ey, 2, 1e-12);
  EXPECT_NEAR(oz, 3, 1e-4);
  EXPECT_NEAR(ez, 3, 1e-12);
}

}  // namespace
