// updatesky.cpp — the day-night cycle: one step of the sun angle per call, two fades that follow
// it, and the sky entities' colours, alphas and the sun pivot's pitch brought into line.
// All arithmetic is in double; values are narrowed to float only at the engine call, never clamped.
#include "sky.h"

namespace {

constexpr double ANGLESTEP = 0.2;
constexpr double STARSTEP = 0.0025;
constexpr double SUNSTEP = 0.009;

// The star fade (STARALPHA): falls after sunset, rises again after midnight. A fade that has
// started runs to its end, one step per call, whatever the angle does meanwhile.
void STEPSTARFADE() {
  if (SUNANGLE > 170 && SUNANGLE < 270 && STARALPHA >= 0 && STARBIT == 0) STARBIT = 1;
  // No upper bound on the angle here: the call that passes 360 may still start the rise.
  if (SUNANGLE > 270 && STARALPHA < 1 && STARBIT == 0) STARBIT = 2;
  if (STARBIT == 1) {
    STARALPHA -= STARSTEP;
    if (STARALPHA <= 0) STARBIT = 0;
  } else if (STARBIT == 2) {
    STARALPHA += STARSTEP;
    if (STARALPHA >= 1) STARBIT = 0;
  }
}

// The sun glow (SUNALPHA): rises in the late afternoon, falls after midnight.
void STEPSUNFADE() {
  if (SUNANGLE > 130 && SUNANGLE < 270 && SUNALPHA <= 1 && SUNBIT == 0) SUNBIT = 1;
  if (SUNANGLE > 270 && SUNANGLE < 360 && SUNALPHA >= 0 && SUNBIT == 0) SUNBIT = 2;
  if (SUNBIT == 1) {
    SUNALPHA += SUNSTEP;
    if (SUNALPHA >= 1) SUNBIT = 0;
  } else if (SUNBIT == 2) {
    SUNALPHA -= SUNSTEP;
    if (SUNALPHA <= 0) SUNBIT = 0;
  }
}

// Hands the fade values to the sky entities, in a fixed order.
void APPLYFADES() {
  const auto f = [](double v) { return static_cast<float>(v); };
  const double haloGreen = 255 - 110 * SUNALPHA;
  const double haloBlue = 83 - 100 * SUNALPHA;  // goes negative near full glow, passed as is
  EntityColor(SUNHOF, 255, f(haloGreen), f(haloBlue));
  EntityColor(SUNHOF3, 255, f(haloGreen), f(haloBlue));
  EntityColor(SUNHOF2, 255, f(haloGreen), f(haloBlue));
  EntityAlpha(CLOUDS, f(STARALPHA));
  EntityAlpha(SKYSPHERE, f(STARALPHA));
  EntityAlpha(DARKSPHERE, f(1 - SUNALPHA));
  const double skyShade = 255 - 180 * SUNALPHA;
  EntityColor(SKYSPHERE, f(skyShade), f(skyShade), f(skyShade));
  EntityAlpha(MOONHOF, f(1 - STARALPHA));
  EntityAlpha(MOONSPRITE, f(1 - STARALPHA));
  EntityAlpha(MOONHOF2, f(1 - STARALPHA));
  EntityAlpha(SUNHOF, f(SUNALPHA));
  EntityAlpha(SUNHOF3, f(SUNALPHA));
}

}  // namespace

void UPDATESKY() {
  SUNANGLE += ANGLESTEP;
  STEPSTARFADE();
  if (STARALPHA < 1) {
    ShowEntity(MOONSPRITE);
    ShowEntity(MOONHOF);
  }
  STEPSUNFADE();
  APPLYFADES();
  if (SUNANGLE > 360) SUNANGLE = 0;  // the excess is dropped; 360 itself stays
  RotateEntity(SUNPIVOT, static_cast<float>(SUNANGLE), 0, 0, 0);
}
