// sky_globals.cpp — storage for the demo's program-wide state.
// Everything starts at zero (no entity) except the day-night values, which start at noon.
#include "sky.h"

Entity CAMERA = nullptr;
Entity LIGHT = nullptr;
Entity SKYSPHERE = nullptr, DARKSPHERE = nullptr, STARSPHERE = nullptr;
Texture SKYSPHERETEX = nullptr, DARKSPHERETEX = nullptr, STARSPHERETEX = nullptr;
Entity SUNPIVOT = nullptr;
Entity SUNSPRITE = nullptr, SUNHOF = nullptr, SUNHOF2 = nullptr, SUNHOF3 = nullptr;
Entity MOONSPRITE = nullptr, MOONMASK = nullptr, MOONHOF = nullptr, MOONHOF2 = nullptr;
Entity CLOUDS = nullptr;
Texture CLOUDSTEX = nullptr;

std::int32_t MOUSEX = 0, MOUSEY = 0;
std::int32_t MOUSEX2 = 0, MOUSEY2 = 0;
std::int32_t CAMERAPITCH = 0, CAMERAYAW = 0;

double SUNANGLE = 90.0;
double STARALPHA = 1.0;
double SUNALPHA = 0.0;
int STARBIT = 0;
int SUNBIT = 0;

int VERTEXBUFFER[PATCHMAX + 1][PATCHMAX + 1] = {};
