// sky.h — the sky demo's program-wide state and its procedures.
// The demo is plain procedures over these globals (no context object); the engine owns every
// entity and texture behind the handles, which stay valid for the whole run.
#pragma once

#include <cstdint>

#include "engine3d.h"

// ---- Scene handles, written once at start-up -----------------------------------------------
extern Entity CAMERA;
extern Entity LIGHT;
extern Entity SKYSPHERE, DARKSPHERE, STARSPHERE;
extern Texture SKYSPHERETEX, DARKSPHERETEX, STARSPHERETEX;
extern Entity SUNPIVOT;
extern Entity SUNSPRITE, SUNHOF, SUNHOF2, SUNHOF3;
extern Entity MOONSPRITE, MOONMASK, MOONHOF, MOONHOF2;
extern Entity CLOUDS;
extern Texture CLOUDSTEX;

// ---- Mouse look ------------------------------------------------------------------------------
extern std::int32_t MOUSEX, MOUSEY;          // the window's centre
extern std::int32_t MOUSEX2, MOUSEY2;        // pointer position read this frame
extern std::int32_t CAMERAPITCH, CAMERAYAW;  // accumulated degrees, never wrapped

// ---- Day-night cycle -------------------------------------------------------------------------
extern double SUNANGLE;   // time of day in degrees; 90 is noon, 0 and 360 sunrise
extern double STARALPHA;  // opacity of the day sky and clouds (1 day, 0 night)
extern double SUNALPHA;   // strength of the evening glow
extern int STARBIT;       // 0 idle, 1 STARALPHA falling, 2 rising
extern int SUNBIT;        // 0 idle, 1 SUNALPHA rising, 2 falling

// ---- Patch builder ---------------------------------------------------------------------------
inline constexpr int PATCHMAX = 33;                   // largest patch side in cells
extern int VERTEXBUFFER[PATCHMAX + 1][PATCHMAX + 1];  // (X, Z) -> vertex index

// ---- Procedures ------------------------------------------------------------------------------
void STARTUP(int argc, char** argv);  // window, engine and the whole sky scene
void CHECKIMAGES();                   // ends the program (status 1) when an image did not load
bool FRAME();                         // one pass of the frame loop; false once Escape is read
[[noreturn]] void SHUTDOWN();         // clears the world and ends the process with status 0
void UPDATESKY();                     // one step of the day-night cycle
Entity CREATEPATCH(int SIZE, double SCALE, double PX, double PY, double PZ, int R, int G, int B,
                   double A, int FX);  // flat SIZE x SIZE grid mesh; null for SIZE outside 1..33
