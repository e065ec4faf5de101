// sky_program.cpp — the demo's entry steps: start-up (window, engine, the sky scene), one pass of
// the frame loop, the image check and shutdown. The start-up order matters: the window exists
// before the engine, every image loads while the asset directory is current, and the sun group
// is parented before it is positioned.
#include <cstdio>
#include <string>

#include "libs/2d/overlay.h"
#include "sky.h"
#include "window.h"

namespace {

constexpr int SCANCODE_W = 17;

// Images load by bare name from data/gfx/ beside the executable; the directory is entered for
// each group of loads and left again afterwards.
std::string ASSETDIRECTORY() {
  return GetExeDirectory() + "/data/gfx/";
}
void ENTERASSETS() {
  ChangeDirectory(ASSETDIRECTORY());
}
void LEAVEASSETS() {
  ChangeDirectory(GetExeDirectory());
}

// Steps 1-5: runtime, window with its GL context and 2D page, engine, camera, light.
void OPENSCREEN3D(int argc, char** argv) {
  StartRuntime(argc, argv);
  SCREENRES(1024, 768, 32, 1, 0);
  Graphics3D(1024, 768, 32, 0, 60);
  CAMERA = CreateCamera(nullptr);
  LIGHT = CreateLight(2, nullptr);
  TurnEntity(LIGHT, 90, 0, 0, 0);
}

// Steps 6-14: three nested spheres turned inside out: day sky, dusk sky, stars.
void BUILDSKYSPHERES() {
  SKYSPHERE = CreateSphere(8, nullptr);
  ENTERASSETS();
  SKYSPHERETEX = LoadTexture("test.png", 1);
  EntityTexture(SKYSPHERE, SKYSPHERETEX, 0, 0);
  STARSPHERETEX = LoadTexture("stars.png", 1);
  ScaleTexture(STARSPHERETEX, 0.5f, 0.5f);
  DARKSPHERETEX = LoadTexture("test2.png", 1);
  LEAVEASSETS();
  FlipMesh(SKYSPHERE);
  ScaleEntity(SKYSPHERE, 500, 500, 500, 0);
  STARSPHERE = CreateSphere(8, nullptr);
  FlipMesh(STARSPHERE);
  ScaleEntity(STARSPHERE, 501, 501, 501, 0);
  EntityTexture(STARSPHERE, STARSPHERETEX, 0, 0);
  DARKSPHERE = CreateSphere(8, nullptr);
  FlipMesh(DARKSPHERE);
  ScaleEntity(DARKSPHERE, 500.5f, 500.5f, 500.5f, 0);
  EntityTexture(DARKSPHERE, DARKSPHERETEX, 0, 0);
}

// Steps 15-24: the sun with its three halos on the sun pivot, the moon with its mask and halos.
void BUILDSUNANDMOON() {
  ENTERASSETS();
  SUNSPRITE = LoadSprite("sun.png", 1, nullptr);
  EntityBlend(SUNSPRITE, 3);
  ScaleSprite(SUNSPRITE, 7, 7);
  MOONSPRITE = LoadSprite("moon.png", 2, nullptr);
  MOONMASK = LoadSprite("moonmask.png", 1, nullptr);
  MOONHOF = LoadSprite("moonhof.png", 1, nullptr);
  MOONHOF2 = LoadSprite("sunhof2.png", 1, nullptr);
  SUNHOF = LoadSprite("sunhof.png", 1, nullptr);
  SUNHOF2 = LoadSprite("sunhof2.png", 1, nullptr);
  SUNHOF3 = LoadSprite("sunhof2.png", 1, nullptr);
  ScaleSprite(SUNHOF, 240, 110);
  ScaleSprite(MOONHOF, 13, 13);
  ScaleSprite(MOONSPRITE, 7, 7);
  ScaleSprite(MOONMASK, 7, 7);
  ScaleSprite(SUNHOF2, 60, 60);
  ScaleSprite(SUNHOF3, 340, 210);
  EntityBlend(SUNHOF, 3);
  ScaleSprite(MOONHOF2, 140, 140);
  LEAVEASSETS();

  SUNPIVOT = CreatePivot(nullptr);
  for (Entity child : {SUNSPRITE, SUNHOF, SUNHOF2, SUNHOF3, LIGHT})
    EntityParent(child, SUNPIVOT, 1);
  EntityFX(SUNHOF, 16);

  // The sun group's positions are local to the pivot, which is still unturned here.
  PositionEntity(SUNSPRITE, 0, 0, 99, 0);
  PositionEntity(MOONHOF, 0, 30, 100, 0);
  PositionEntity(MOONHOF2, 0, 30, 100, 0);
  PositionEntity(MOONSPRITE, 0, 30, 99, 0);
  PositionEntity(MOONMASK, 0, 30, 101, 0);
  PositionEntity(SUNHOF, 0, 0, 100, 0);
  PositionEntity(SUNHOF3, 0, 0, 102, 0);
  PositionEntity(SUNHOF2, 0, 0, 101, 0);

  for (Entity halo : {SUNHOF, SUNHOF2, SUNHOF3}) EntityFX(halo, 16);
  EntityOrder(SUNSPRITE, -2);
  EntityOrder(SUNHOF, -2);
  EntityOrder(SUNHOF2, -2);
  EntityOrder(SUNHOF3, -2);
  EntityOrder(MOONSPRITE, -2);
  EntityOrder(MOONHOF, -1);
  for (Entity e : {SUNSPRITE, SUNHOF, SUNHOF2, SUNHOF3, MOONSPRITE, MOONHOF, MOONHOF2}) {
    MeshCullRadius(e, 2000000);
  }
}

// Step 25: hide the pointer and hold it at the window's centre for mouse look.
void CENTREPOINTER() {
  int width = 0, height = 0;
  GetScreenSize(&width, &height);
  MOUSEX = width / 2;
  MOUSEY = height / 2;
  SetMouseState(MOUSEX, MOUSEY, 0, 0);
}

// Steps 26-30: the ground plane below everything, the cloud layer overhead.
void BUILDGROUNDANDCLOUDS() {
  Entity WATERPLANE = CreatePlane(1, nullptr);
  EntityOrder(WATERPLANE, -3);
  PositionEntity(WATERPLANE, 0, -10, 0, 0);

  ENTERASSETS();
  CLOUDSTEX = LoadTexture("clouds.png", 2);
  ScaleTexture(CLOUDSTEX, 0.125f, 0.125f);
  CLOUDS = CreateSprite(nullptr);
  EntityTexture(CLOUDS, CLOUDSTEX, 0, 0);
  ScaleSprite(CLOUDS, 5000, 5000);
  SpriteViewMode(CLOUDS, 2);
  PositionEntity(CLOUDS, 0, 200, 0, 0);
  EntityFX(CLOUDS, 17);
  PointEntity(CLOUDS, CAMERA, 0);
  MeshCullRadius(CLOUDS, 2000000);
  EntityOrder(CLOUDS, -1);
  LEAVEASSETS();
}

// Mouse look: a pointer away from the centre turns the camera one degree per pixel, and goes
// back to the centre. No focus or pointer outside the window: nothing happens this pass.
void MOUSELOOK() {
  if (GetMouseState(&MOUSEX2, &MOUSEY2, nullptr, nullptr, nullptr) != 0) return;
  if (MOUSEX2 == MOUSEX && MOUSEY2 == MOUSEY) return;
  CAMERAPITCH = CAMERAPITCH + MOUSEY - MOUSEY2;
  CAMERAYAW = CAMERAYAW + MOUSEX - MOUSEX2;
  RotateEntity(CAMERA, static_cast<float>(CAMERAPITCH), static_cast<float>(CAMERAYAW), 0, 0);
  SetMouseState(MOUSEX, MOUSEY, -1, -1);
  SleepMilliseconds(1);
}

}  // namespace

void STARTUP(int argc, char** argv) {
  OPENSCREEN3D(argc, argv);
  BUILDSKYSPHERES();
  BUILDSUNANDMOON();
  CENTREPOINTER();
  BUILDGROUNDANDCLOUDS();
}

void CHECKIMAGES() {
  // Each image file with the handles it gave; sunhof2.png serves three sprites.
  struct Image {
    const char* file;
    bool loaded;
  };
  const Image images[] = {
      {"test.png", SKYSPHERETEX != nullptr},
      {"stars.png", STARSPHERETEX != nullptr},
      {"test2.png", DARKSPHERETEX != nullptr},
      {"sun.png", SUNSPRITE != nullptr},
      {"moon.png", MOONSPRITE != nullptr},
      {"moonmask.png", MOONMASK != nullptr},
      {"moonhof.png", MOONHOF != nullptr},
      {"sunhof.png", SUNHOF != nullptr},
      {"sunhof2.png", MOONHOF2 != nullptr && SUNHOF2 != nullptr && SUNHOF3 != nullptr},
      {"clouds.png", CLOUDSTEX != nullptr},
  };
  std::string missing;
  for (const Image& image : images) {
    if (image.loaded) continue;
    missing += missing.empty() ? "" : ", ";
    missing += image.file;
  }
  if (missing.empty()) return;
  std::fprintf(stderr, "game: missing or unreadable images in %s: %s\n", ASSETDIRECTORY().c_str(),
               missing.c_str());
  ClearWorld(1, 1, 1);
  EndProgram(1);
}

bool FRAME() {
  CameraRange(CAMERA, 1, 1e10f);
  SleepMilliseconds(1);
  MOUSELOOK();
  if (IsKeyDown(SCANCODE_W) != 0) SUNANGLE += 0.1;
  UPDATESKY();
  UpdateWorld(1.0f);
  RenderWorld();

  // One text buffer for the whole run: the angle is often longer than a short string holds
  // inline, and the frame loop should not go to the heap for it every frame.
  static std::string text;
  text.resize(31);  // "%.16g" of a double needs at most 24 characters
  const int length = std::snprintf(text.data(), text.size() + 1, "%.16g", SUNANGLE);
  text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  LockPage();
  ClearPage();
  DrawText(10, 10, text);
  UnlockPage();
  SCREENSYNC();

  return ReadKey() != "\x1b";
}

void SHUTDOWN() {
  ClearWorld(1, 1, 1);
  EndProgram(0);
}
