// Trigonometry in degrees: convert with one multiplication by a double factor, then call the C
// library's radian function (forward), or call it first and convert its result (inverse).
// No state, no special cases for multiples of 90 degrees.
#include <cmath>

#include "shared.h"

double cosdeg(double degrees) {
  return std::cos(deg2rad(degrees));
}
double sindeg(double degrees) {
  return std::sin(deg2rad(degrees));
}
double tandeg(double degrees) {
  return std::tan(deg2rad(degrees));
}
double acosdeg(double value) {
  return rad2deg(std::acos(value));
}
double asindeg(double value) {
  return rad2deg(std::asin(value));
}
double atandeg(double value) {
  return rad2deg(std::atan(value));
}
double atan2deg(double y, double x) {
  return rad2deg(std::atan2(y, x));
}
