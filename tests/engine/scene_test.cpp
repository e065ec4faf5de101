/* scene_test.cpp — the engine's scene math without a display: rotation conventions, parenting in
   local and world space, PointEntity, sprite orientation per view mode, mesh building with
   checked indices, sphere and plane layout, null handles, image errors and ClearWorld. */
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "engine3d.h"
#include "engine_state.h"

namespace {

using e3d::state;

glm::vec3 WorldPos(Entity e) {
  return glm::vec3(e3d::world_matrix(*e)[3]);
}
glm::vec3 WorldForward(Entity e) {
  return e3d::world_rotation(*e) * glm::vec3(0, 0, 1);
}
glm::vec3 WorldUp(Entity e) {
  return e3d::world_rotation(*e) * glm::vec3(0, 1, 0);
}

::testing::AssertionResult Close(glm::vec3 got, glm::vec3 want, float tol = 1e-3f) {
  if (glm::length(got - want) <= tol) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "got (" << got.x << ", " << got.y << ", " << got.z << "), want (" << want.x << ", "
         << want.y << ", " << want.z << ")";
}

class Scene : public ::testing::Test {
 protected:
  void SetUp() override { ClearWorld(1, 1, 1); }
  void TearDown() override { ClearWorld(1, 1, 1); }
};

TEST_F(Scene, RotationIsYawThenPitchThenRollInTheLeftHandedFrame) {
  const float s30 = 0.5f, c30 = std::sqrt(3.0f) / 2, s5 = std::sin(glm::radians(5.0f)),
              c5 = std::cos(glm::radians(5.0f));
  struct Case {
    const char* what;
    float pitch, yaw, roll;
    glm::vec3 forward, up;
  } cases[] = {
      {"unturned looks along +z", 0, 0, 0, {0, 0, 1}, {0, 1, 0}},
      {"positive pitch lifts +z toward +y", 90, 0, 0, {0, 1, 0}, {0, 0, -1}},
      {"positive yaw turns +z toward -x", 0, 90, 0, {-1, 0, 0}, {0, 1, 0}},
      {"yaw first, then pitch about the turned x", 30, 90, 0, {-c30, s30, 0}, {s30, c30, 0}},
      {"yaw -5 turns the view right", 0, -5, 0, {s5, 0, c5}, {0, 1, 0}},
      {"pitch -3 turns the view down",
       -3,
       0,
       0,
       {0, -std::sin(glm::radians(3.0f)), std::cos(glm::radians(3.0f))},
       {0, std::cos(glm::radians(3.0f)), std::sin(glm::radians(3.0f))}},
      {"positive roll tips the top toward +x", 0, 0, 90, {0, 0, 1}, {1, 0, 0}},
      {"roll turns about the forward axis last", 0, 90, 90, {-1, 0, 0}, {0, 0, 1}},
  };
  Entity cam = CreateCamera(nullptr);
  for (const Case& c : cases) {
    RotateEntity(cam, c.pitch, c.yaw, c.roll, 0);
    EXPECT_TRUE(Close(WorldForward(cam), c.forward)) << c.what;
    EXPECT_TRUE(Close(WorldUp(cam), c.up)) << c.what;
  }
}

TEST_F(Scene, SunPivotAtPitch90PutsItsChildAtTheZenith) {
  Entity pivot = CreatePivot(nullptr);
  Entity sun = CreateSprite(nullptr);
  EntityParent(sun, pivot, 1);
  PositionEntity(sun, 0, 0, 99, 0);
  RotateEntity(pivot, 90, 0, 0, 0);
  EXPECT_TRUE(Close(WorldPos(sun), {0, 99, 0}));
  RotateEntity(pivot, 180, 0, 0, 0);
  EXPECT_TRUE(Close(WorldPos(sun), {0, 0, -99})) << "and sets behind";
}

TEST_F(Scene, ChildrenFollowParentsAndGlobalMovesUseTheWorld) {
  Entity parent = CreatePivot(nullptr);
  PositionEntity(parent, 10, 0, 0, 0);
  RotateEntity(parent, 0, 90, 0, 0);  // parent's +z is the world's -x
  ScaleEntity(parent, 2, 2, 2, 0);
  Entity child = CreatePivot(parent);

  PositionEntity(child, 0, 0, 5, 0);
  EXPECT_TRUE(Close(WorldPos(child), {0, 0, 0})) << "local: 5 along the parent's +z, scaled by 2";
  PositionEntity(child, 1, 2, 3, 1);
  EXPECT_TRUE(Close(WorldPos(child), {1, 2, 3})) << "global";

  ScaleEntity(child, 4, 4, 4, 1);
  EXPECT_TRUE(Close(child->scale, {2, 2, 2})) << "global scale divides out the parent's";
  RotateEntity(child, 0, 0, 0, 1);
  EXPECT_TRUE(Close(WorldForward(child), {0, 0, 1})) << "global rotation cancels the parent's";
  RotateEntity(child, 0, 0, 0, 0);
  EXPECT_TRUE(Close(WorldForward(child), {-1, 0, 0})) << "local rotation adds to the parent's";
}

TEST_F(Scene, ReparentingKeepsTheWorldTransformOnlyWhenAsked) {
  Entity a = CreatePivot(nullptr);
  PositionEntity(a, 5, 0, 0, 0);
  RotateEntity(a, 0, 90, 0, 0);
  Entity e = CreatePivot(nullptr);
  PositionEntity(e, 1, 1, 1, 0);
  RotateEntity(e, 20, 0, 0, 0);
  const glm::vec3 fwd = WorldForward(e);

  EntityParent(e, a, 1);
  EXPECT_TRUE(Close(WorldPos(e), {1, 1, 1}));
  EXPECT_TRUE(Close(WorldForward(e), fwd));
  EntityParent(e, nullptr, 1);
  EXPECT_TRUE(Close(WorldPos(e), {1, 1, 1})) << "back to the root, still in place";

  EntityParent(e, a, 0);
  // The parent's +x is the world's +z and its +z the world's -x.
  EXPECT_TRUE(Close(WorldPos(e), {5 - 1, 1, 1})) << "local values now relative to the parent";

  EntityParent(a, e, 1);  // a is e's parent: a cycle is refused
  EXPECT_EQ(a->parent, nullptr);
  EntityParent(e, e, 1);
  EXPECT_EQ(e->parent, a);
}

TEST_F(Scene, TurnsAreAboutOwnAxesLocallyAndWorldAxesGlobally) {
  Entity e = CreatePivot(nullptr);
  RotateEntity(e, 90, 0, 0, 0);  // facing up
  TurnEntity(e, 0, 90, 0, 0);
  EXPECT_TRUE(Close(WorldForward(e), {-1, 0, 0})) << "yaw about its own tilted y";
  RotateEntity(e, 90, 0, 0, 0);
  TurnEntity(e, 0, 90, 0, 1);
  EXPECT_TRUE(Close(WorldForward(e), {0, 1, 0})) << "yaw about the world's y keeps it up";
  EXPECT_TRUE(Close(WorldUp(e), {1, 0, 0}));
  RotateEntity(e, 0, 0, 0, 0);
  for (int i = 0; i < 36; ++i) TurnEntity(e, 0, 10, 0, 0);
  EXPECT_TRUE(Close(WorldForward(e), {0, 0, 1})) << "turns add up";
}

TEST_F(Scene, PointEntityAimsPlusZAtTheTarget) {
  Entity cam = CreateCamera(nullptr);
  Entity clouds = CreateSprite(nullptr);
  PositionEntity(clouds, 0, 200, 0, 0);
  PointEntity(clouds, cam, 0);
  EXPECT_TRUE(Close(WorldForward(clouds), {0, -1, 0}));

  Entity parent = CreatePivot(nullptr);
  RotateEntity(parent, 0, 45, 0, 0);
  Entity e = CreatePivot(parent);
  Entity target = CreatePivot(nullptr);
  PositionEntity(target, 10, 10, 0, 0);
  PointEntity(e, target, 0);
  EXPECT_TRUE(Close(WorldForward(e), glm::normalize(glm::vec3(1, 1, 0))));
  PointEntity(e, e, 0);  // no direction: unchanged
  EXPECT_TRUE(Close(WorldForward(e), glm::normalize(glm::vec3(1, 1, 0))));
}

TEST_F(Scene, SpriteOrientationFollowsItsViewMode) {
  Entity cam = CreateCamera(nullptr);
  PositionEntity(cam, 1, 2, 3, 0);
  RotateEntity(cam, 20, 30, 0, 0);
  Entity sprite = CreateSprite(nullptr);
  PositionEntity(sprite, 11, 7, 13, 0);  // (10, 5, 10) from the camera
  RotateEntity(sprite, 0, 45, 0, 0);
  e3d::update_world_matrices();
  const glm::vec3 away = glm::normalize(glm::vec3(10, 5, 10));
  const glm::vec3 away_flat = glm::normalize(glm::vec3(10, 0, 10));
  const glm::quat own = e3d::euler_rotation(0, 45, 0);
  const glm::quat camrot = e3d::euler_rotation(20, 30, 0);
  struct Case {
    int mode;
    glm::vec3 forward;
    glm::vec3 up;  // zero: only checked to have no roll
  } cases[] = {
      {1, camrot * glm::vec3(0, 0, 1), camrot * glm::vec3(0, 1, 0)},
      {2, own * glm::vec3(0, 0, 1), own * glm::vec3(0, 1, 0)},
      {3, away_flat, {0, 1, 0}},
      {4, away, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    SpriteViewMode(sprite, c.mode);
    const glm::quat q = e3d::sprite_rotation(*sprite, cam->world);
    EXPECT_TRUE(Close(q * glm::vec3(0, 0, 1), c.forward)) << "mode " << c.mode;
    if (glm::length(c.up) > 0) {
      EXPECT_TRUE(Close(q * glm::vec3(0, 1, 0), c.up)) << "mode " << c.mode;
    } else {
      EXPECT_NEAR((q * glm::vec3(1, 0, 0)).y, 0.0f, 1e-4f) << "mode " << c.mode << " is upright";
    }
  }
}

// The side (v1 - v0) x (v2 - v0) points to, against the direction from the centre.
float Facing(const E3DSurface& s, std::size_t tri) {
  const glm::vec3 a = s.vertices[s.indices[tri * 3]].position;
  const glm::vec3 b = s.vertices[s.indices[tri * 3 + 1]].position;
  const glm::vec3 c = s.vertices[s.indices[tri * 3 + 2]].position;
  return glm::dot(glm::cross(b - a, c - a), (a + b + c) / 3.0f);
}

TEST_F(Scene, SphereLayoutAndFlip) {
  const int n = 8;
  Entity sphere = CreateSphere(n, nullptr);
  ASSERT_EQ(sphere->surfaces.size(), 1u);
  const E3DSurface& s = *sphere->surfaces[0];
  EXPECT_EQ(s.vertices.size(), static_cast<std::size_t>((n + 1) * (2 * n + 1)));
  EXPECT_EQ(s.indices.size() / 3, static_cast<std::size_t>(2 * n * (2 * n - 2)));
  float umax = 0, vmax = 0;
  for (const auto& v : s.vertices) {
    EXPECT_NEAR(glm::length(v.position), 1.0f, 1e-5f);
    EXPECT_TRUE(Close(v.normal, v.position)) << "normals point outward";
    umax = std::max(umax, v.uv.x);
    vmax = std::max(vmax, v.uv.y);
    if (v.position.y > 0.9999f) {
      EXPECT_EQ(v.uv.y, 0.0f) << "v = 0 at the top pole";
    }
  }
  EXPECT_EQ(umax, 1.0f);
  EXPECT_EQ(vmax, 1.0f);
  for (std::size_t t = 0; t < s.indices.size() / 3; ++t) ASSERT_GT(Facing(s, t), 0.0f) << t;

  FlipMesh(sphere);
  for (std::size_t t = 0; t < s.indices.size() / 3; ++t) ASSERT_LT(Facing(s, t), 0.0f) << t;
  for (const auto& v : s.vertices) ASSERT_TRUE(Close(v.normal, -v.position));
}

TEST_F(Scene, PlaneFacesUp) {
  Entity plane = CreatePlane(3, nullptr);
  const E3DSurface& s = *plane->surfaces[0];
  EXPECT_EQ(s.indices.size() / 3, 18u);
  for (std::size_t t = 0; t < s.indices.size() / 3; ++t) {
    const glm::vec3 a = s.vertices[s.indices[t * 3]].position;
    const glm::vec3 b = s.vertices[s.indices[t * 3 + 1]].position;
    const glm::vec3 c = s.vertices[s.indices[t * 3 + 2]].position;
    EXPECT_GT(glm::cross(b - a, c - a).y, 0.0f);
  }
}

TEST_F(Scene, HandBuiltMeshRefusesBadIndicesAndGetsNormals) {
  Entity mesh = CreateMesh(nullptr);
  Surface s = CreateSurface(mesh, nullptr);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(AddVertex(s, 0, 0, 0, 0, 0, 0), 0);
  EXPECT_EQ(AddVertex(s, 0, 1, 0, 0, 1, 0), 1);
  EXPECT_EQ(AddVertex(s, 1, 0, 0, 1, 0, 0), 2);
  for (auto bad : {std::array{0, 1, 3}, std::array{-1, 1, 2}, std::array{0, 2, 1 << 30}}) {
    EXPECT_EQ(AddTriangle(s, bad[0], bad[1], bad[2]), -1);
  }
  EXPECT_TRUE(s->indices.empty()) << "nothing added by a refused triangle";
  EXPECT_EQ(AddTriangle(s, 0, 1, 2), 0);
  e3d::refresh_normals(*s);
  EXPECT_TRUE(Close(s->vertices[0].normal, {0, 0, -1})) << "front toward the viewer along +z";
  EXPECT_EQ(AddTriangle(s, 1, 2, 0), 1);

  VertexColor(s, 1, 255, 0, 51, 0.25f);
  EXPECT_TRUE(Close(glm::vec3(s->vertices[1].color), {1, 0, 0.2f}));
  EXPECT_FLOAT_EQ(s->vertices[1].color.a, 0.25f);
  VertexColor(s, 3, 0, 0, 0, 0);  // out of range: ignored
  VertexColor(s, -1, 0, 0, 0, 0);

  ScaleMesh(mesh, 2, 3, 4);
  EXPECT_TRUE(Close(s->vertices[1].position, {0, 3, 0}));
  EXPECT_FLOAT_EQ(e3d::local_radius(*mesh), 3.0f);
}

TEST_F(Scene, NullHandlesDoNothing) {
  EXPECT_EQ(CreateSurface(nullptr, nullptr), nullptr);
  EXPECT_EQ(AddVertex(nullptr, 1, 2, 3, 0, 0, 0), -1);
  EXPECT_EQ(AddTriangle(nullptr, 0, 1, 2), -1);
  VertexColor(nullptr, 0, 1, 1, 1, 1);
  ScaleMesh(nullptr, 1, 1, 1);
  FlipMesh(nullptr);
  ShowEntity(nullptr);
  HideEntity(nullptr);
  FreeEntity(nullptr);
  MeshCullRadius(nullptr, 1);
  PositionEntity(nullptr, 1, 2, 3, 1);
  ScaleEntity(nullptr, 1, 2, 3, 1);
  RotateEntity(nullptr, 1, 2, 3, 1);
  TurnEntity(nullptr, 1, 2, 3, 1);
  EntityTexture(nullptr, nullptr, 0, 0);
  ScaleTexture(nullptr, 2, 2);
  FreeTexture(nullptr);
  ScaleSprite(nullptr, 1, 1);
  SpriteViewMode(nullptr, 2);
  EntityBlend(nullptr, 3);
  EntityFX(nullptr, 1);
  EntityOrder(nullptr, 1);
  EntityAlpha(nullptr, 0.5f);
  EntityColor(nullptr, 1, 2, 3);
  CameraRange(nullptr, 1, 2);

  Entity e = CreatePivot(nullptr);
  PositionEntity(e, 1, 2, 3, 0);
  PointEntity(e, nullptr, 0);
  PointEntity(nullptr, e, 0);
  EntityParent(nullptr, e, 1);
  EXPECT_TRUE(Close(WorldPos(e), {1, 2, 3}));
  EXPECT_TRUE(Close(WorldForward(e), {0, 0, 1}));
  EXPECT_EQ(state().entities.size(), 1u);
}

TEST_F(Scene, WithoutAContextGraphics3DSaysSoAndRenderingDoesNothing) {
  testing::internal::CaptureStderr();
  Graphics3D(640, 480, 32, 0, 60);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("no OpenGL context"), std::string::npos) << err;
  EXPECT_FALSE(state().graphics_ready);
  Entity cam = CreateCamera(nullptr);
  CreateSphere(8, cam);
  RenderWorld();
  UpdateWorld(1);
}

TEST_F(Scene, CameraRangeKeepsOnlyUsableRanges) {
  Entity cam = CreateCamera(nullptr);
  CameraRange(cam, 1, 1e10f);
  EXPECT_EQ(cam->near_plane, 1.0f);
  EXPECT_EQ(cam->far_plane, 1e10f);
  for (auto bad : {std::array{0.0f, 10.0f}, std::array{-1.0f, 10.0f}, std::array{5.0f, 5.0f},
                   std::array{10.0f, 2.0f}}) {
    CameraRange(cam, bad[0], bad[1]);
    EXPECT_EQ(cam->near_plane, 1.0f) << bad[0] << ".." << bad[1];
    EXPECT_EQ(cam->far_plane, 1e10f) << bad[0] << ".." << bad[1];
  }
  Entity pivot = CreatePivot(nullptr);
  CameraRange(pivot, 2, 3);  // not a camera
  EXPECT_EQ(pivot->near_plane, 1.0f);
}

TEST_F(Scene, MissingImageGivesNullHandleAndOneLineNamingIt) {
  const std::string file = ::testing::TempDir() + "missing-sky.png";
  testing::internal::CaptureStderr();
  EXPECT_EQ(LoadTexture(file.c_str(), 1), nullptr);
  EXPECT_EQ(LoadSprite(file.c_str(), 2, nullptr), nullptr);
  EXPECT_EQ(LoadTexture(nullptr, 1), nullptr);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 3) << err;
  EXPECT_NE(err.find(file), std::string::npos) << err;
  EXPECT_TRUE(state().textures.empty());
  EXPECT_TRUE(state().entities.empty());
}

TEST_F(Scene, FreeingAndClearingReleaseEverything) {
  Entity root = CreatePivot(nullptr);
  Entity child = CreateSphere(4, root);
  CreatePivot(child);
  Entity other = CreateCamera(nullptr);
  ASSERT_EQ(state().entities.size(), 4u);
  FreeEntity(root);
  ASSERT_EQ(state().entities.size(), 1u) << "children go with their parent";
  EXPECT_EQ(state().entities[0].get(), other);

  Entity kid = CreatePivot(other);
  FreeEntity(kid);
  EXPECT_TRUE(other->children.empty()) << "the parent forgets a freed child";

  ClearWorld(1, 1, 1);
  EXPECT_TRUE(state().entities.empty());
  EXPECT_TRUE(state().textures.empty());
}

}  // namespace
