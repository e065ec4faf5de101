// Declarations shared across the engine: its constants (each translation unit gets its own
// read-only copy with the exact bits below; none is exported), the sprite batch registry, the
// degree/radian conversions and the degree trigonometry of degtrig.cpp.
#ifndef SKY_SUPPORT_SHARED_H
#define SKY_SUPPORT_SHARED_H

#include <bit>
#include <cstdint>
#include <list>

// Spelled as bit patterns so that no compiler rounding can change them.
static const int MAX_TYPES = 100;
static constexpr float PI = std::bit_cast<float>(std::uint32_t{0x40490FDB});         // 3.14159274
static constexpr float TWOPI = std::bit_cast<float>(std::uint32_t{0x40C90FDB});      // 6.28318548
static constexpr float HALFPI = std::bit_cast<float>(std::uint32_t{0x3FC90FDB});     // 1.57079637
static constexpr float QUARTERPI = std::bit_cast<float>(std::uint32_t{0x3F490FDB});  // 0.785398185
static constexpr float EPSILON = std::bit_cast<float>(std::uint32_t{0x358637BD});    // 1e-6
static constexpr float COLLISION_EPSILON =
    std::bit_cast<float>(std::uint32_t{0x3A83126F});  // 0.001

// Conversion factors, in double: pi/180 and 180/pi, each rounded to the nearest double.
static constexpr double DEGREES_TO_RADIANS =
    std::bit_cast<double>(std::uint64_t{0x3F91DF46A2529D39});  // 0.017453292519943295
static constexpr double RADIANS_TO_DEGREES =
    std::bit_cast<double>(std::uint64_t{0x404CA5DC1A63C1F8});  // 57.29577951308232

// A batch of sprites drawn together. The engine keeps every live batch in quad_group_list; the
// list holds plain pointers and owns none of them. It is empty before main starts, and destroying
// it at exit frees its nodes only. It has no lock.
class QuadGroup {
 public:
  static std::list<QuadGroup*> quad_group_list;
};

// One multiplication each, never a division by 180 or by pi.
inline double deg2rad(double degrees) {
  return degrees * DEGREES_TO_RADIANS;
}
inline double rad2deg(double radians) {
  return radians * RADIANS_TO_DEGREES;
}

// Trigonometry in degrees over the C library's radian functions; no range reduction in degrees,
// so cosdeg(90) is about 6.1e-17, not 0. Out-of-domain arguments give what libm gives (NaN).
double cosdeg(double degrees);
double sindeg(double degrees);
double tandeg(double degrees);
double acosdeg(double value);
double asindeg(double value);
double atandeg(double value);
double atan2deg(double y, double x);  // ordinate first, as atan2

#endif
