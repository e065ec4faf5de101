// Tests of the degree trigonometry: the conversion factors' exact bits, values at the angles
// where rounding shows (no special case for multiples of 90), inverse functions, quadrants of
// atan2deg, and NaN outside the domain.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>

#include "shared.h"

namespace {

TEST(Degtrig, ConversionsAreOneMultiplicationByExactFactors) {
  EXPECT_EQ(std::bit_cast<std::uint64_t>(deg2rad(1)), 0x3F91DF46A2529D39u);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(rad2deg(1)), 0x404CA5DC1A63C1F8u);
  EXPECT_EQ(deg2rad(180), 3.141592653589793);
  EXPECT_EQ(deg2rad(180), M_PI);
  EXPECT_EQ(rad2deg(1), 57.29577951308232);
  EXPECT_EQ(deg2rad(rad2deg(1)), 1.0);
  // A division by 180 would round differently here; the factor is what is used.
  EXPECT_EQ(deg2rad(3), 3 * 0.017453292519943295);
  EXPECT_EQ(rad2deg(3), 3 * 57.29577951308232);
}

TEST(Degtrig, ExactValues) {
  struct {
    const char* name;
    double got, want;
  } cases[] = {
      {"cosdeg(0)", cosdeg(0), 1},
      {"cosdeg(180)", cosdeg(180), -1},
      {"sindeg(90)", sindeg(90), 1},
      {"sindeg(-90)", sindeg(-90), -1},
      {"acosdeg(1)", acosdeg(1), 0},
      {"acosdeg(-1)", acosdeg(-1), 180},
      {"asindeg(1)", asindeg(1), 90},
      {"asindeg(-1)", asindeg(-1), -90},
      {"atandeg(1)", atandeg(1), 45},
      {"atandeg(0)", atandeg(0), 0},
      {"atan2deg(1, 0)", atan2deg(1, 0), 90},
      {"atan2deg(0, -1)", atan2deg(0, -1), 180},
      {"atan2deg(-0.0, -1)", atan2deg(-0.0, -1), -180},
      {"atan2deg(-1, 0)", atan2deg(-1, 0), -90},
      {"atan2deg(1, -1)", atan2deg(1, -1), 135},
      {"atan2deg(0, 0)", atan2deg(0, 0), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

TEST(Degtrig, NoSpecialCasesAtMultiplesOfNinety) {
  EXPECT_NE(cosdeg(90), 0.0);
  EXPECT_NEAR(cosdeg(90), 6.123233995736766e-17, 1e-30);
  EXPECT_NE(sindeg(180), 0.0);
  EXPECT_NEAR(sindeg(180), 1.2246467991473532e-16, 1e-30);
  EXPECT_TRUE(std::isfinite(tandeg(90)));
  EXPECT_NEAR(tandeg(90), 1.633123935319537e16, 1e3);
  // Each forward function is the radian function of the rounded product, bit for bit.
  for (double a : {-720.5, -90.0, 1.0, 33.3, 45.0, 123456.0}) {
    EXPECT_EQ(cosdeg(a), std::cos(a * 0.017453292519943295)) << a;
    EXPECT_EQ(sindeg(a), std::sin(a * 0.017453292519943295)) << a;
    EXPECT_EQ(tandeg(a), std::tan(a * 0.017453292519943295)) << a;
  }
}

TEST(Degtrig, InverseFunctionsConvertTheRadianResult) {
  EXPECT_NEAR(acosdeg(0.5), 60, 1e-13);
  EXPECT_EQ(acosdeg(0.5), std::acos(0.5) * 57.29577951308232);
  EXPECT_EQ(asindeg(0.3), std::asin(0.3) * 57.29577951308232);
  EXPECT_EQ(atandeg(-7.5), std::atan(-7.5) * 57.29577951308232);
  EXPECT_EQ(atan2deg(2, 3), std::atan2(2, 3) * 57.29577951308232);  // ordinate first
  EXPECT_NE(atan2deg(2, 3), atan2deg(3, 2));
  EXPECT_TRUE(std::isnan(acosdeg(2)));
  EXPECT_TRUE(std::isnan(asindeg(2)));
  EXPECT_TRUE(std::isnan(acosdeg(-1.0000001)));
}

}  // namespace
