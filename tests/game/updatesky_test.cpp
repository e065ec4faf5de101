// updatesky_test.cpp — the day-night cycle against the recording engine: the event calendar of
// two whole days, the values passed on the first call and at full glow, the W-held day, and the
// strict and non-strict comparisons around 270 and 360 and at the ends of the fades.
#include <gmock/gmock.h>

#include <cmath>
#include <limits>

#include "demo_fixture.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

class UpdateSkyTest : public DemoTest {
 protected:
  void SetUp() override {
    DemoTest::SetUp();
    // Distinct handles for every sky entity, as start-up would leave them.
    for (Entity* e : {&SKYSPHERE, &DARKSPHERE, &CLOUDS, &MOONSPRITE, &MOONHOF, &MOONHOF2, &SUNHOF,
                      &SUNHOF2, &SUNHOF3, &SUNPIVOT}) {
      *e = CreatePivot(nullptr);
    }
    NameHandles();
    recorder::Calls().clear();
  }
};

// A sun angle that the step of 0.2 takes to exactly `target`.
double AngleSteppingTo(double target) {
  double x = target - 0.2;
  for (int i = 0; i < 64 && x + 0.2 != target; ++i) {
    x = std::nextafter(x, x + 0.2 < target ? std::numeric_limits<double>::infinity()
                                           : -std::numeric_limits<double>::infinity());
  }
  return x;
}

TEST_F(UpdateSkyTest, TwoDaysFollowTheEventCalendar) {
  std::vector<std::string> events;
  std::vector<int> showCalls;  // calls on which the moon sprites were shown
  for (int call = 1; call <= 1351 + 1801; ++call) {
    const int star = STARBIT, sun = SUNBIT;
    const std::size_t before = recorder::Calls().size();
    UPDATESKY();
    auto event = [&](const char* what, int from, int to) {
      events.push_back(std::to_string(call) + " " + what + " " + std::to_string(from) + "->" +
                       std::to_string(to));
    };
    if (SUNBIT != sun) event("SUNBIT", sun, SUNBIT);
    if (STARBIT != star) event("STARBIT", star, STARBIT);
    if (SUNANGLE == 0) events.push_back(std::to_string(call) + " wrap");
    for (std::size_t i = before; i < recorder::Calls().size(); ++i) {
      if (recorder::Calls()[i].name == "ShowEntity") showCalls.push_back(call);
    }
    // The values at the ends of the fades, first day.
    if (call == 311) {
      EXPECT_NEAR(SUNALPHA, 1.008, 1e-9);
    }
    if (call == 801) {
      EXPECT_NEAR(STARALPHA, -0.0025, 1e-9);
    }
    if (call == 1012) {
      EXPECT_LT(SUNALPHA, 0);
      EXPECT_GT(SUNALPHA, -1e-9);
    }
    if (call == 1301) {
      EXPECT_EQ(STARALPHA, 1.0);
    }
  }
  EXPECT_THAT(events,
              ElementsAreArray<std::string>(
                  {"200 SUNBIT 0->1", "311 SUNBIT 1->0", "401 STARBIT 0->1", "801 STARBIT 1->0",
                   "901 SUNBIT 0->2", "901 STARBIT 0->2", "1012 SUNBIT 2->0", "1301 STARBIT 2->0",
                   "1351 wrap", "2001 SUNBIT 0->1", "2112 SUNBIT 1->0", "2202 STARBIT 0->1",
                   "2602 STARBIT 1->0", "2702 SUNBIT 0->2", "2702 STARBIT 0->2", "2813 SUNBIT 2->0",
                   "3102 STARBIT 2->0", "3152 wrap"}));
  // Two ShowEntity calls on each call with STARALPHA below 1: 401..1300 and 2202..3101.
  ASSERT_EQ(showCalls.size(), 2u * (900 + 900));
  EXPECT_EQ(showCalls.front(), 401);
  EXPECT_EQ(showCalls[2 * 900 - 1], 1300);
  EXPECT_EQ(showCalls[2 * 900], 2202);
  EXPECT_EQ(showCalls.back(), 3101);
}

TEST_F(UpdateSkyTest, FirstCallFromNoonStartsNoFade) {
  UPDATESKY();
  EXPECT_EQ(SUNANGLE, 90.0 + 0.2);
  EXPECT_EQ(STARBIT, 0);
  EXPECT_EQ(SUNBIT, 0);
  EXPECT_THAT(CallTexts(),
              ElementsAre("EntityColor(SUNHOF, 255, 255, 83)", "EntityColor(SUNHOF3, 255, 255, 83)",
                          "EntityColor(SUNHOF2, 255, 255, 83)", "EntityAlpha(CLOUDS, 1)",
                          "EntityAlpha(SKYSPHERE, 1)", "EntityAlpha(DARKSPHERE, 1)",
                          "EntityColor(SKYSPHERE, 255, 255, 255)", "EntityAlpha(MOONHOF, 0)",
                          "EntityAlpha(MOONSPRITE, 0)", "EntityAlpha(MOONHOF2, 0)",
                          "EntityAlpha(SUNHOF, 0)", "EntityAlpha(SUNHOF3, 0)",
                          "RotateEntity(SUNPIVOT, 90.1999969, 0, 0, 0)"));
}

TEST_F(UpdateSkyTest, FullGlowPassesUnclampedValues) {
  // Past the end of a rising sun fade the values leave 0..1 and 0..255 and are passed so.
  SUNANGLE = 160;
  SUNALPHA = 1.008;  // as a rising sun fade leaves it: no fade starts above 1
  STARALPHA = 0.25;  // no star fade starts at 160
  UPDATESKY();
  ASSERT_EQ(recorder::Calls().size(), 15u);  // two ShowEntity, twelve values, the pivot
  const auto& calls = recorder::Calls();
  auto value = [&](std::size_t i, std::size_t arg) { return std::get<double>(calls[i].args[arg]); };
  EXPECT_EQ(Text(calls[0]), "ShowEntity(MOONSPRITE)");
  EXPECT_EQ(Text(calls[1]), "ShowEntity(MOONHOF)");
  const double glow = 1.008, stars = 0.25;
  for (std::size_t i : {2u, 3u, 4u}) {  // SUNHOF, SUNHOF3, SUNHOF2 tint
    EXPECT_FLOAT_EQ(value(i, 1), 255);
    EXPECT_FLOAT_EQ(value(i, 2), 144.12);
    EXPECT_FLOAT_EQ(value(i, 3), -17.8);  // negative blue
  }
  EXPECT_FLOAT_EQ(value(5, 1), stars);   // CLOUDS
  EXPECT_FLOAT_EQ(value(6, 1), stars);   // SKYSPHERE
  EXPECT_FLOAT_EQ(value(7, 1), -0.008);  // DARKSPHERE, below 0
  EXPECT_FLOAT_EQ(value(8, 1), 73.56);   // SKYSPHERE shade
  for (std::size_t i : {9u, 10u, 11u}) EXPECT_FLOAT_EQ(value(i, 1), 1 - stars);
  EXPECT_FLOAT_EQ(value(12, 1), glow);  // SUNHOF
  EXPECT_FLOAT_EQ(value(13, 1), glow);  // SUNHOF3
  EXPECT_THAT(CallTexts(2), ElementsAre(::testing::StartsWith("EntityColor(SUNHOF,"),
                                        ::testing::StartsWith("EntityColor(SUNHOF3,"),
                                        ::testing::StartsWith("EntityColor(SUNHOF2,"),
                                        ::testing::StartsWith("EntityAlpha(CLOUDS,"),
                                        ::testing::StartsWith("EntityAlpha(SKYSPHERE,"),
                                        ::testing::StartsWith("EntityAlpha(DARKSPHERE,"),
                                        ::testing::StartsWith("EntityColor(SKYSPHERE,"),
                                        ::testing::StartsWith("EntityAlpha(MOONHOF,"),
                                        ::testing::StartsWith("EntityAlpha(MOONSPRITE,"),
                                        ::testing::StartsWith("EntityAlpha(MOONHOF2,"),
                                        ::testing::StartsWith("EntityAlpha(SUNHOF,"),
                                        ::testing::StartsWith("EntityAlpha(SUNHOF3,"),
                                        "RotateEntity(SUNPIVOT, 160.199997, 0, 0, 0)"));
}

struct OneCallCase {
  const char* name;
  double angleAfterStep;
  double starAlpha, sunAlpha;
  int starBitOut, sunBitOut;
  double angleOut;
  double starAlphaOut, sunAlphaOut;
};

void PrintTo(const OneCallCase& c, std::ostream* os) {
  *os << c.name;
}

class UpdateSkyBoundaryTest : public UpdateSkyTest,
                              public ::testing::WithParamInterface<OneCallCase> {};

TEST_P(UpdateSkyBoundaryTest, OneCallFromIdle) {
  const OneCallCase& c = GetParam();
  SUNANGLE = AngleSteppingTo(c.angleAfterStep);
  const double stepped = SUNANGLE + 0.2;
  // The whole-degree thresholds are hit exactly; the others within rounding.
  if (c.angleAfterStep == std::floor(c.angleAfterStep)) {
    ASSERT_EQ(stepped, c.angleAfterStep);
  } else {
    ASSERT_NEAR(stepped, c.angleAfterStep, 1e-9);
  }
  STARALPHA = c.starAlpha;
  SUNALPHA = c.sunAlpha;
  UPDATESKY();
  EXPECT_EQ(STARBIT, c.starBitOut);
  EXPECT_EQ(SUNBIT, c.sunBitOut);
  EXPECT_EQ(SUNANGLE, c.angleOut == 0 ? 0.0 : stepped);
  EXPECT_NEAR(STARALPHA, c.starAlphaOut, 1e-12);
  EXPECT_NEAR(SUNALPHA, c.sunAlphaOut, 1e-12);
  const auto& last = recorder::Calls().back();
  EXPECT_EQ(last.name, "RotateEntity");
  EXPECT_EQ(std::get<double>(last.args[1]), static_cast<float>(SUNANGLE));
}

INSTANTIATE_TEST_SUITE_P(
    Thresholds, UpdateSkyBoundaryTest,
    ::testing::Values(
        // Every test around 270 is strict: exactly 270 starts nothing.
        OneCallCase{"Exactly270", 270, 0.5, 0.5, 0, 0, 270, 0.5, 0.5},
        OneCallCase{"Below270", 269.9, 0.5, 0.5, 1, 1, 269.9, 0.4975, 0.509},
        OneCallCase{"Above270", 270.1, 0.5, 0.5, 2, 2, 270.1, 0.5025, 0.491},
        // 360 stays 360, and the falling sun fade needs an angle below 360.
        OneCallCase{"Exactly360", 360, 0.5, 0.5, 2, 0, 360, 0.5025, 0.5},
        // Passing 360: tested while above 360 (the star rise has no upper bound), then wrapped.
        OneCallCase{"Past360", 360.1, 0.5, 0.5, 2, 0, 0, 0.5025, 0.5},
        OneCallCase{"Past360InDaylight", 360.1, 1.0, 0.0, 0, 0, 0, 1.0, 0.0},
        // A fall that ended at exactly 0 restarts (>= 0) for one more step, then stops.
        OneCallCase{"StarFallAtExactlyZero", 200, 0.0, 0.0, 0, 1, 200, -0.0025, 0.009},
        // Likewise a rise that ended at exactly 1.
        OneCallCase{"SunRiseAtExactlyOne", 200, -0.0025, 1.0, 0, 0, 200, -0.0025, 1.009},
        // The lower thresholds are strict too.
        OneCallCase{"Exactly130", 130, 1.0, 0.0, 0, 0, 130, 1.0, 0.0},
        OneCallCase{"Exactly170", 170, 1.0, 1.5, 0, 0, 170, 1.0, 1.5}),
    [](const ::testing::TestParamInfo<OneCallCase>& info) { return info.param.name; });

TEST_F(UpdateSkyTest, HoldingWStretchesTheStarFadesPast270AndPastTheWrap) {
  // With 0.3 degrees per call the star fall (401 calls) outlasts the angle's way to 270.
  double fallEnd = -1, riseStartAngle = -1, riseEnd = -1;
  bool wrapped = false;
  for (int call = 1; call <= 3000 && riseEnd < 0; ++call) {
    const int star = STARBIT;
    SUNANGLE += 0.1;
    UPDATESKY();
    if (SUNANGLE == 0) wrapped = true;
    if (star == 1 && STARBIT == 0) {
      fallEnd = SUNANGLE;
      EXPECT_LE(STARALPHA, 0);
    }
    if (star == 0 && STARBIT == 2) riseStartAngle = SUNANGLE;
    if (star == 2 && STARBIT == 0) riseEnd = SUNANGLE;
    if (fallEnd < 0 && SUNANGLE > 270 && SUNANGLE < 285) {
      EXPECT_EQ(STARBIT, 1);
    }
  }
  EXPECT_NEAR(fallEnd, 290, 0.5);
  EXPECT_NEAR(riseStartAngle, fallEnd + 0.3, 1e-9);  // on the very next call
  EXPECT_TRUE(wrapped);
  EXPECT_NEAR(riseEnd, 50, 0.5);
}

}  // namespace
