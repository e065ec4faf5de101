/* render_test.cpp — draws small scenes through libengine3d.so into a real GL context and reads the
   pixels back: spheres seen from inside, blend modes, order groups, sprites facing the camera,
   alpha, culling, lighting, nested transparent shells, the ground plane, foreign GL state left
   behind by other code, and missing image files. */
#include <gtest/gtest.h>

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "engine3d.h"
#include "gl_window.h"

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr int kCx = kWidth / 2;
constexpr int kCy = kHeight / 2;

// Each sprite of half-size h at distance d spans h / d * 80 pixels to each side in both axes:
// 90 degrees across 160 pixels, and the 4:3 window keeps pixels square.
int PixelsAcross(float half, float distance) {
  return static_cast<int>(half / distance * 80.0f);
}

::testing::AssertionResult Near(Rgb got, Rgb want, int tolerance = 4) {
  if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
      std::abs(got.b - want.b) <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "got (" << got.r << ", " << got.g << ", " << got.b << "), want (" << want.r << ", "
         << want.g << ", " << want.b << ")";
}

// Writes a w x h PNG whose texel colour comes from fn(x, y); with_alpha false drops the alpha
// channel from the file altogether.
std::string WriteImage(const std::string& name, int w, int h,
                       const std::function<SDL_Color(int, int)>& fn, bool with_alpha = true) {
  const std::string path = ::testing::TempDir() + name;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32);
  for (int y = 0; y < h; ++y) {
    auto* row = static_cast<Uint8*>(s->pixels) + y * s->pitch;
    for (int x = 0; x < w; ++x) {
      const SDL_Color c = fn(x, y);
      row[x * 4 + 0] = c.r;
      row[x * 4 + 1] = c.g;
      row[x * 4 + 2] = c.b;
      row[x * 4 + 3] = c.a;
    }
  }
  if (!with_alpha) {
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(s);
    s = rgb;
  }
  IMG_SavePNG(s, path.c_str());
  SDL_FreeSurface(s);
  return path;
}

class EngineRender : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    window_ok_ = OpenGlWindow(kWidth, kHeight, &error);
    if (!window_ok_) std::fprintf(stderr, "cannot open a GL window: %s\n", error.c_str());
  }
  static void TearDownTestSuite() {
    ClearWorld(1, 1, 1);
    CloseGlWindow();
  }
  void SetUp() override {
    ASSERT_TRUE(window_ok_) << "these tests need a display (run under xvfb-run)";
    ClearWorld(1, 1, 1);
    Graphics3D(kWidth, kHeight, 32, 0, 60);
    camera_ = CreateCamera(nullptr);
    CameraRange(camera_, 0.5f, 1000.0f);
  }
  // A full-bright, untextured sprite straight ahead at distance d.
  static Entity Card(float d, float half, float r, float g, float b, int order = 0) {
    Entity e = CreateSprite(nullptr);
    PositionEntity(e, 0, 0, d, 0);
    ScaleSprite(e, half, half);
    EntityColor(e, r, g, b);
    EntityFX(e, 1);
    EntityOrder(e, order);
    return e;
  }
  Rgb Render(int x = kCx, int y = kCy) {
    RenderWorld();
    return ReadPixel(x, y);
  }

  static bool window_ok_;
  Entity camera_ = nullptr;
};
bool EngineRender::window_ok_ = false;

TEST_F(EngineRender, FlippedSphereShowsItsTextureFromInside) {
  // Upper half of the image blue, lower half red: v runs from the top pole to the bottom one.
  const std::string file = WriteImage("sky.png", 16, 16, [](int, int y) {
    return y < 8 ? SDL_Color{0, 0, 255, 255} : SDL_Color{255, 0, 0, 255};
  });
  Entity sphere = CreateSphere(8, nullptr);
  ScaleEntity(sphere, 50, 50, 50, 0);
  EntityFX(sphere, 1);
  Texture sky = LoadTexture(file.c_str(), 1);
  ASSERT_NE(sky, nullptr);
  EntityTexture(sphere, sky, 0, 0);

  EXPECT_TRUE(Near(Render(), {0, 0, 0})) << "outward faces are culled from inside";

  FlipMesh(sphere);
  RotateEntity(camera_, 45, 0, 0, 0);
  EXPECT_TRUE(Near(Render(), {0, 0, 255})) << "looking up";
  RotateEntity(camera_, -45, 120, 0, 0);
  EXPECT_TRUE(Near(Render(), {255, 0, 0})) << "looking down";
}

TEST_F(EngineRender, LightingIsColourTimesAmbientPlusLights) {
  // The card faces the camera (its front looks along -z) at distance 10.
  struct Case {
    const char* what;
    int fx;
    int light_type;  // 0: no light
    float light_z, light_yaw;
    Rgb light_color, card_color, expected;
  } cases[] = {
      {"no light: ambient 127/255 only", 0, 0, 0, 0, {}, {255, 255, 255}, {127, 127, 127}},
      {"no light: colour times ambient", 0, 0, 0, 0, {}, {200, 100, 50}, {100, 50, 25}},
      {"full-bright: the colour itself", 1, 0, 0, 0, {}, {200, 100, 50}, {200, 100, 50}},
      {"directional along +z lights the front",
       0,
       1,
       0,
       0,
       {255, 255, 255},
       {255, 255, 255},
       {255, 255, 255}},
      {"directional turned around lights the back",
       0,
       1,
       0,
       180,
       {255, 255, 255},
       {255, 255, 255},
       {127, 127, 127}},
      {"light colour adds to the ambient",
       0,
       1,
       0,
       0,
       {100, 0, 0},
       {255, 255, 255},
       {227, 127, 127}},
      {"point light in front", 0, 2, 0, 0, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}},
      {"point light behind", 0, 2, 20, 0, {255, 255, 255}, {255, 255, 255}, {127, 127, 127}},
      {"spot light pointing at it", 0, 3, 0, 0, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}},
      {"spot light pointing away", 0, 3, 0, 180, {255, 255, 255}, {255, 255, 255}, {127, 127, 127}},
  };
  for (const Case& c : cases) {
    ClearWorld(1, 1, 1);
    camera_ = CreateCamera(nullptr);
    Entity card = Card(10, 5, static_cast<float>(c.card_color.r),
                       static_cast<float>(c.card_color.g), static_cast<float>(c.card_color.b));
    EntityFX(card, c.fx);
    if (c.light_type != 0) {
      Entity light = CreateLight(c.light_type, nullptr);
      PositionEntity(light, 0, 0, c.light_z, 0);
      RotateEntity(light, 0, c.light_yaw, 0, 0);
      EntityColor(light, static_cast<float>(c.light_color.r), static_cast<float>(c.light_color.g),
                  static_cast<float>(c.light_color.b));
    }
    EXPECT_TRUE(Near(Render(), c.expected, 3)) << c.what;
  }
}

TEST_F(EngineRender, BlendModesCombineWithWhatIsBehind) {
  struct Case {
    const char* what;
    int blend;
    float alpha;
    float r, g, b;
    Rgb expected;
  } cases[] = {
      {"alpha: half of each", 1, 0.5f, 0, 200, 0, {50, 100, 0}},
      {"add: sum", 3, 1.0f, 0, 200, 0, {100, 200, 0}},
      {"add: scaled by alpha", 3, 0.5f, 0, 200, 0, {100, 100, 0}},
      {"multiply: product", 2, 1.0f, 128, 255, 255, {50, 0, 0}},
  };
  for (const Case& c : cases) {
    ClearWorld(1, 1, 1);
    camera_ = CreateCamera(nullptr);
    Card(20, 20, 100, 0, 0);  // opaque background
    Entity front = Card(10, 2, c.r, c.g, c.b);
    EntityBlend(front, c.blend);
    EntityAlpha(front, c.alpha);
    EXPECT_TRUE(Near(Render(), c.expected, 3)) << c.what;
  }
}

TEST_F(EngineRender, OrderGroupsDrawInSequenceWithoutDepthTest) {
  // Stacked on the view axis; sizes shrink so that each later group leaves a ring of the earlier.
  Card(2, 1.6f, 0, 0, 255, 1);     // order 1: first, nearest, largest: shows only at the rim
  Card(5, 3.0f, 255, 0, 0, 0);     // order 0: over it, despite being farther
  Card(50, 20.0f, 0, 255, 0, -1);  // then -1, far behind yet drawn over order 0
  Card(60, 12.0f, 255, 255, 0, -2);
  Card(70, 7.0f, 255, 255, 255, -3);  // last
  RenderWorld();
  const int rim = PixelsAcross(1.6f, 2) - 2;  // inside order 1, outside order 0 (48 px)
  const int red = PixelsAcross(3.0f, 5) - 2;  // inside order 0, outside -1 (32 px)
  EXPECT_TRUE(Near(ReadPixel(kCx, kCy), {255, 255, 255})) << "order -3 is drawn last";
  EXPECT_TRUE(Near(ReadPixel(kCx + PixelsAcross(7, 70) + 2, kCy), {255, 255, 0})) << "-2";
  EXPECT_TRUE(Near(ReadPixel(kCx + PixelsAcross(12, 60) + 2, kCy), {0, 255, 0})) << "-1";
  EXPECT_TRUE(Near(ReadPixel(kCx + red, kCy), {255, 0, 0})) << "order 0 over order 1";
  EXPECT_TRUE(Near(ReadPixel(kCx + rim, kCy), {0, 0, 255})) << "order 1";
}

TEST_F(EngineRender, SpriteFacesTheCameraWholeAndUpright) {
  // Quadrants red, yellow over green, blue: the image appears upright and unmirrored.
  const std::string file = WriteImage("card.png", 8, 8, [](int x, int y) {
    if (y < 4) return x < 4 ? SDL_Color{255, 0, 0, 255} : SDL_Color{255, 255, 0, 255};
    return x < 4 ? SDL_Color{0, 255, 0, 255} : SDL_Color{0, 0, 255, 255};
  });
  Entity sprite = LoadSprite(file.c_str(), 1, nullptr);
  ASSERT_NE(sprite, nullptr);
  ScaleSprite(sprite, 2, 2);
  EntityFX(sprite, 1);
  struct View {
    float pitch, yaw;
  } views[] = {{0, 0}, {30, 40}, {90, 0}, {-60, 200}};
  const int half = PixelsAcross(2, 10);  // 16 px
  RotateEntity(sprite, 10, 70, 0, 0);    // its own orientation plays no part in view mode 1
  for (const View& v : views) {
    // Ten units straight ahead of the turned camera.
    const double p = v.pitch * M_PI / 180, y = v.yaw * M_PI / 180;
    PositionEntity(sprite, static_cast<float>(-10 * std::sin(y) * std::cos(p)),
                   static_cast<float>(10 * std::sin(p)),
                   static_cast<float>(10 * std::cos(y) * std::cos(p)), 0);
    RotateEntity(camera_, v.pitch, v.yaw, 0, 0);
    RenderWorld();
    SCOPED_TRACE(testing::Message() << "camera pitch " << v.pitch << " yaw " << v.yaw);
    const int in = half - 3;  // near the corners, clear of the filtered quadrant borders
    EXPECT_TRUE(Near(ReadPixel(kCx - in, kCy - in), {255, 0, 0})) << "top left";
    EXPECT_TRUE(Near(ReadPixel(kCx + in, kCy - in), {255, 255, 0})) << "top right";
    EXPECT_TRUE(Near(ReadPixel(kCx - in, kCy + in), {0, 255, 0})) << "bottom left";
    EXPECT_TRUE(Near(ReadPixel(kCx + in, kCy + in), {0, 0, 255})) << "bottom right";
    EXPECT_TRUE(Near(ReadPixel(kCx + half + 3, kCy), {0, 0, 0})) << "beyond the right edge";
    EXPECT_TRUE(Near(ReadPixel(kCx, kCy - half - 3), {0, 0, 0})) << "above the top";
  }
}

TEST_F(EngineRender, TextureFlagsAndScaling) {
  // Left half one colour, right half another; the card spans 160 px, the whole window width.
  auto halves = [](SDL_Color left, SDL_Color right) {
    return [left, right](int x, int) { return x < 8 ? left : right; };
  };
  const SDL_Color red{255, 0, 0, 255}, green{0, 255, 0, 255}, black{0, 0, 0, 255},
      white{255, 255, 255, 255}, clear{255, 255, 255, 0}, grey{128, 128, 128, 255};
  const std::string red_green = WriteImage("red_green.png", 16, 16, halves(red, green));
  const std::string black_white = WriteImage("black_white.png", 16, 16, halves(black, white));
  const std::string clear_white = WriteImage("clear_white.png", 16, 16, halves(clear, white));
  const std::string grey_white = WriteImage("grey_white.png", 16, 16, halves(grey, white), false);
  const Rgb bg{0, 0, 200};
  struct Case {
    const char* what;
    const std::string& file;
    int flags;
    float scale;  // ScaleTexture on both axes
    Rgb at[4];    // at 1/8, 3/8, 5/8 and 7/8 of the width
  } cases[] = {
      {"as loaded", red_green, 1, 1, {{255, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 255, 0}}},
      {"scale 0.5 repeats it twice",
       red_green,
       1,
       0.5f,
       {{255, 0, 0}, {0, 255, 0}, {255, 0, 0}, {0, 255, 0}}},
      {"clamped u stops the repeat at the edge",
       red_green,
       1 | 16,
       0.5f,
       {{255, 0, 0}, {0, 255, 0}, {0, 255, 0}, {0, 255, 0}}},
      {"masked: black is cut out", black_white, 4, 1, {bg, bg, {255, 255, 255}, {255, 255, 255}}},
      {"colour only: black is drawn",
       black_white,
       1,
       1,
       {{0, 0, 0}, {0, 0, 0}, {255, 255, 255}, {255, 255, 255}}},
      {"the image's own alpha is kept",
       clear_white,
       1,
       1,
       {bg, bg, {255, 255, 255}, {255, 255, 255}}},
      {"alpha from brightness when the image has none",
       grey_white,
       2,
       1,
       {{64, 64, 164}, {64, 64, 164}, {255, 255, 255}, {255, 255, 255}}},
  };
  for (const Case& c : cases) {
    ClearWorld(1, 1, 1);
    camera_ = CreateCamera(nullptr);
    Card(20, 20, bg.r, bg.g, bg.b);
    Entity card = Card(10, 10, 255, 255, 255);
    Texture t = LoadTexture(c.file.c_str(), c.flags);
    ASSERT_NE(t, nullptr) << c.what;
    ScaleTexture(t, c.scale, c.scale);
    EntityTexture(card, t, 0, 0);
    RenderWorld();
    for (int i = 0; i < 4; ++i) {
      EXPECT_TRUE(Near(ReadPixel(kWidth * (2 * i + 1) / 8, kCy + 10), c.at[i], 5))
          << c.what << ", point " << i;
    }
  }
}

TEST_F(EngineRender, BackFacesShowOnlyWithoutCulling) {
  // A fixed sprite pointed at the camera shows its back, as the demo's cloud layer does.
  struct Case {
    int fx;
    bool shown;
  } cases[] = {{1, false}, {1 | 16, true}};
  for (const Case& c : cases) {
    ClearWorld(1, 1, 1);
    camera_ = CreateCamera(nullptr);
    Entity e = Card(10, 4, 255, 255, 255);
    SpriteViewMode(e, 2);
    PointEntity(e, camera_, 0);
    EntityFX(e, c.fx);
    const Rgb want = c.shown ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
    EXPECT_TRUE(Near(Render(), want)) << "fx " << c.fx;
  }
}

TEST_F(EngineRender, HandBuiltMeshWithVertexColours) {
  Entity mesh = CreateMesh(nullptr);
  Surface s = CreateSurface(mesh, nullptr);
  const int a = AddVertex(s, -5, -5, 0, 0, 0, 0);
  const int b = AddVertex(s, -5, 5, 0, 0, 0, 0);
  const int c = AddVertex(s, 5, -5, 0, 0, 0, 0);
  const int d = AddVertex(s, 5, 5, 0, 0, 0, 0);
  AddTriangle(s, a, b, c);
  AddTriangle(s, c, b, d);
  EXPECT_EQ(AddTriangle(s, a, b, 4), -1);
  for (int v : {a, b, c, d}) VertexColor(s, v, 0, 255, 0, 1);
  PositionEntity(mesh, 0, 0, 10, 0);
  EntityColor(mesh, 255, 0, 255);
  EntityFX(mesh, 1);
  EXPECT_TRUE(Near(Render(), {255, 0, 255})) << "the entity colour without FX 2";
  EntityFX(mesh, 1 | 2);
  EXPECT_TRUE(Near(Render(), {0, 255, 0})) << "vertex colours with FX 2";
  VertexColor(s, a, 0, 255, 0, 0.5f);
  VertexColor(s, b, 0, 255, 0, 0.5f);
  VertexColor(s, c, 0, 255, 0, 0.5f);
  VertexColor(s, d, 0, 255, 0, 0.5f);
  EXPECT_TRUE(Near(Render(), {0, 128, 0}, 3)) << "vertex alpha blends";
}

TEST_F(EngineRender, MirroringScaleKeepsFrontFacesVisible) {
  for (float sx : {1.0f, -1.0f}) {
    ClearWorld(1, 1, 1);
    camera_ = CreateCamera(nullptr);
    Entity quad = CreateMesh(nullptr);
    Surface s = CreateSurface(quad, nullptr);
    AddVertex(s, -4, -4, 0, 0, 0, 0);
    AddVertex(s, -4, 4, 0, 0, 0, 0);
    AddVertex(s, 4, -4, 0, 0, 0, 0);
    AddTriangle(s, 0, 1, 2);  // front toward the camera
    PositionEntity(quad, 0, 0, 10, 0);
    ScaleEntity(quad, sx, 1, 1, 0);
    EntityFX(quad, 1);
    const int x = sx > 0 ? kCx - 10 : kCx + 10;  // the triangle's side of the centre
    EXPECT_TRUE(Near(Render(x, kCy + 10), {255, 255, 255})) << "x scale " << sx;
  }
}

TEST_F(EngineRender, HiddenParentHidesItsChildren) {
  Entity pivot = CreatePivot(nullptr);
  Entity card = Card(10, 4, 255, 255, 255);
  EntityParent(card, pivot, 1);
  HideEntity(pivot);
  EXPECT_TRUE(Near(Render(), {0, 0, 0}));
  ShowEntity(pivot);
  EXPECT_TRUE(Near(Render(), {255, 255, 255}));
  HideEntity(camera_);
  EXPECT_TRUE(Near(Render(), {0, 0, 0})) << "a hidden camera draws nothing";
}

TEST_F(EngineRender, AlphaZeroIsInvisibleInEveryBlendMode) {
  for (int blend : {1, 2, 3}) {
    ClearWorld(1, 1, 1);
    camera_ = CreateCamera(nullptr);
    Card(20, 20, 100, 0, 0);
    Entity front = Card(10, 2, 0, 200, 0);
    EntityBlend(front, blend);
    EntityAlpha(front, 0);
    EXPECT_TRUE(Near(Render(), {100, 0, 0})) << "blend " << blend;
  }
}

TEST_F(EngineRender, EntityOutsideTheViewIsCulledByItsRadius) {
  // Centre outside the 45-degree edge (x 15 > z 10), but the quad reaches x = 5, inside it.
  struct Case {
    float cull_radius;  // < 0: left to the engine
    bool drawn;
  } cases[] = {{-1, true}, {1, false}, {100, true}};
  const int probe_x = kCx + PixelsAcross(7, 10);  // x = 7 at distance 10
  for (const Case& c : cases) {
    ClearWorld(1, 1, 1);
    camera_ = CreateCamera(nullptr);
    Entity e = Card(10, 10, 255, 255, 255);
    PositionEntity(e, 15, 0, 10, 0);
    if (c.cull_radius >= 0) MeshCullRadius(e, c.cull_radius);
    const Rgb want = c.drawn ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
    EXPECT_TRUE(Near(Render(probe_x, kCy), want)) << "cull radius " << c.cull_radius;
  }
}

TEST_F(EngineRender, NestedShellsCompositeOutsideIn) {
  // Three spheres around the camera like a sky: opaque blue outside, translucent green, then
  // translucent red inside. Created inner first so that creation order cannot pass for sorting.
  const struct {
    float scale;
    float r, g, b, alpha;
  } shells[] = {{100, 255, 0, 0, 0.5f}, {100.5f, 0, 255, 0, 0.5f}, {101, 0, 0, 255, 1}};
  for (const auto& s : shells) {
    Entity e = CreateSphere(8, nullptr);
    FlipMesh(e);
    ScaleEntity(e, s.scale, s.scale, s.scale, 0);
    EntityColor(e, s.r, s.g, s.b);
    EntityAlpha(e, s.alpha);
    EntityFX(e, 1);
  }
  // blue, then green at half: (0, 127, 128); then red at half: (127, 64, 64).
  EXPECT_TRUE(Near(Render(), {128, 64, 64}, 3));
  RotateEntity(camera_, 70, 33, 0, 0);
  EXPECT_TRUE(Near(Render(), {128, 64, 64}, 3));
}

TEST_F(EngineRender, OpaqueInnerShellHidesTheOuterOnes) {
  Entity outer = CreateSphere(8, nullptr);
  FlipMesh(outer);
  ScaleEntity(outer, 101, 101, 101, 0);
  EntityColor(outer, 0, 0, 255);
  EntityFX(outer, 1);
  Entity inner = CreateSphere(8, nullptr);
  FlipMesh(inner);
  ScaleEntity(inner, 100, 100, 100, 0);
  EntityColor(inner, 0, 255, 0);
  EntityFX(inner, 1);
  EXPECT_TRUE(Near(Render(), {0, 255, 0}));
  Entity inside = Card(50, 10, 255, 0, 0);
  EntityFX(inside, 0);  // lit, so the ambient halves it
  EXPECT_TRUE(Near(Render(), {127, 0, 0})) << "what is inside the shell still shows";
  FreeEntity(inside);
  EntityAlpha(inner, 0.5f);
  EXPECT_TRUE(Near(Render(), {0, 128, 127}, 3)) << "a translucent inner shell lets it through";
}

TEST_F(EngineRender, GroundPlaneReachesTheHorizonWithAHugeRange) {
  CameraRange(camera_, 1, 1e10f);
  Entity plane = CreatePlane(1, nullptr);
  PositionEntity(plane, 0, -10, 0, 0);
  EntityColor(plane, 0, 200, 0);
  EntityFX(plane, 1);
  EntityOrder(plane, -3);
  RenderWorld();
  EXPECT_TRUE(Near(ReadPixel(kCx, kCy + 3), {0, 200, 0})) << "just below the horizon";
  EXPECT_TRUE(Near(ReadPixel(kCx, kHeight - 1), {0, 200, 0})) << "bottom row";
  EXPECT_TRUE(Near(ReadPixel(kCx, kCy - 3), {0, 0, 0})) << "sky above the horizon";
  EXPECT_TRUE(Near(ReadPixel(2, kCy + 3), {0, 200, 0})) << "to the left edge";
  PositionEntity(camera_, 1e5f, 0, -3e5f, 0);  // the plane follows the camera
  EXPECT_TRUE(Near(Render(kWidth - 3, kCy + 3), {0, 200, 0}));
}

TEST_F(EngineRender, StateLeftByOtherCodeDoesNotLeakIn) {
  Card(10, 4, 200, 100, 50);
  const Rgb clean = Render();
  ASSERT_TRUE(Near(clean, {200, 100, 50}));

  // What a 2D overlay leaves behind, and worse.
  GLuint tex = 0;
  glGenTextures(1, &tex);
  glBindTexture(GL_TEXTURE_2D, tex);
  const unsigned char black[4] = {0, 0, 0, 0};
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, black);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_NEVER, 1.0f);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ZERO, GL_ONE);
  glEnable(GL_SCISSOR_TEST);
  glScissor(0, 0, 1, 1);
  glDepthFunc(GL_NEVER);
  glColorMask(GL_FALSE, GL_TRUE, GL_FALSE, GL_TRUE);
  glFrontFace(GL_CCW);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 1, 0, 1, -1, 1);
  glMatrixMode(GL_TEXTURE);
  glScalef(0, 0, 0);
  glEnable(GL_FOG);
  glViewport(0, 0, 10, 10);

  EXPECT_TRUE(Near(Render(), clean));
  EXPECT_TRUE(Near(ReadPixel(2, 2), {0, 0, 0})) << "colour cleared to black";
  glDeleteTextures(1, &tex);
}

TEST_F(EngineRender, MissingOrBrokenImageGivesNullHandleAndOneMessage) {
  const std::string missing = ::testing::TempDir() + "no-such-image.png";
  const std::string broken = ::testing::TempDir() + "broken.png";
  FILE* f = std::fopen(broken.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("not an image at all", f);
  std::fclose(f);
  for (const std::string& file : {missing, broken}) {
    testing::internal::CaptureStderr();
    Texture t = LoadTexture(file.c_str(), 1);
    Entity s = LoadSprite(file.c_str(), 1, nullptr);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(t, nullptr);
    EXPECT_EQ(s, nullptr);
    // One line per call, naming the file.
    EXPECT_NE(err.find(file), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
    Entity card = Card(10, 4, 200, 100, 50);
    EntityTexture(card, t, 0, 0);  // a null texture changes nothing
    ScaleSprite(s, 3, 3);
    EXPECT_TRUE(Near(Render(), {200, 100, 50}));
  }
}

}  // namespace
