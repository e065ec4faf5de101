// createpatch_test.cpp — the grid-patch builder against the recording engine: vertices in row
// order with their positions, texture coordinates and colour, two +Y-facing triangles per cell,
// the placement calls, and sizes outside 1..33 refused before anything is built.
#include <gmock/gmock.h>

#include "demo_fixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class CreatePatchTest : public DemoTest {
 protected:
  // The surface the last CreateSurface call made.
  const recorder::Surface& BuiltSurface() {
    for (auto it = recorder::Calls().rbegin(); it != recorder::Calls().rend(); ++it) {
      if (it->name == "CreateSurface") return *recorder::SurfaceOf(it->result);
    }
    ADD_FAILURE() << "no surface built";
    static recorder::Surface none;
    return none;
  }
};

struct V {
  float x, z, u, v;
};

void ExpectVertices(const recorder::Surface& s, const std::vector<V>& expected) {
  ASSERT_EQ(s.vertices.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("vertex " + std::to_string(i));
    EXPECT_EQ(s.vertices[i].x, expected[i].x);
    EXPECT_EQ(s.vertices[i].y, 0.0f);
    EXPECT_EQ(s.vertices[i].z, expected[i].z);
    EXPECT_EQ(s.vertices[i].u, expected[i].u);
    EXPECT_EQ(s.vertices[i].v, expected[i].v);
    EXPECT_EQ(s.vertices[i].w, 0.0f);
  }
}

// Every triangle faces +Y: (b - a) x (c - a) has a positive y component.
void ExpectAllFaceUp(const recorder::Surface& s) {
  for (const auto& t : s.triangles) {
    const auto& a = s.vertices[t[0]];
    const auto& b = s.vertices[t[1]];
    const auto& c = s.vertices[t[2]];
    const float crossY = (b.z - a.z) * (c.x - a.x) - (b.x - a.x) * (c.z - a.z);
    EXPECT_GT(crossY, 0) << t[0] << "," << t[1] << "," << t[2];
  }
}

TEST_F(CreatePatchTest, SizeOneIsTwoTrianglesOverFourCorners) {
  Entity mesh = CREATEPATCH(1, 1.0, 0, 0, 0, 255, 255, 255, 1.0, 0);
  ASSERT_NE(mesh, nullptr);
  const auto& s = BuiltSurface();
  ExpectVertices(
      s, {{-0.5f, -0.5f, 0, 0}, {0.5f, -0.5f, 1, 0}, {-0.5f, 0.5f, 0, -1}, {0.5f, 0.5f, 1, -1}});
  EXPECT_THAT(s.triangles, ElementsAre(std::array<int, 3>{0, 3, 1}, std::array<int, 3>{0, 2, 3}));
  ExpectAllFaceUp(s);
}

TEST_F(CreatePatchTest, SizeTwoStepsByHalves) {
  CREATEPATCH(2, 1.0, 0, 0, 0, 255, 255, 255, 1.0, 0);
  const auto& s = BuiltSurface();
  ExpectVertices(s, {{-1, -1, 0, 0},
                     {0, -1, 0.5f, 0},
                     {1, -1, 1, 0},
                     {-1, 0, 0, -0.5f},
                     {0, 0, 0.5f, -0.5f},
                     {1, 0, 1, -0.5f},
                     {-1, 1, 0, -1},
                     {0, 1, 0.5f, -1},
                     {1, 1, 1, -1}});
  EXPECT_THAT(s.triangles, ElementsAre(std::array<int, 3>{0, 4, 1}, std::array<int, 3>{0, 3, 4},
                                       std::array<int, 3>{1, 5, 2}, std::array<int, 3>{1, 4, 5},
                                       std::array<int, 3>{3, 7, 4}, std::array<int, 3>{3, 6, 7},
                                       std::array<int, 3>{4, 8, 5}, std::array<int, 3>{4, 7, 8}));
  ExpectAllFaceUp(s);
}

TEST_F(CreatePatchTest, OddSizeIsCentredAndLargestSizeFillsTheTable) {
  CREATEPATCH(33, 1.0, 0, 0, 0, 255, 255, 255, 1.0, 0);
  const auto& s = BuiltSurface();
  ASSERT_EQ(s.vertices.size(), 1156u);
  EXPECT_EQ(s.triangles.size(), 2178u);
  EXPECT_EQ(s.vertices.front().x, -16.5f);
  EXPECT_EQ(s.vertices.back().z, 16.5f);
  EXPECT_EQ(s.vertices[34].u, 0.0f);  // row 1 starts over at the left edge
  EXPECT_EQ(s.vertices[34].v, static_cast<float>(-(1.0 / 33)));
  // Every table entry holds the index of its own grid point.
  for (int x = 0; x <= 33; ++x) {
    for (int z = 0; z <= 33; ++z) ASSERT_EQ(VERTEXBUFFER[x][z], z * 34 + x) << x << "," << z;
  }
  ExpectAllFaceUp(s);
}

TEST_F(CreatePatchTest, ColoursPlacesScalesAndSetsEffects) {
  Entity mesh = CREATEPATCH(2, 10.0, 1.5, -2, 3, 10, 20, 30, 0.5, 17);
  NameHandles({{recorder::Id(mesh), "MESH"}});
  for (const auto& vertex : BuiltSurface().vertices) {
    EXPECT_EQ(vertex.r, 10);
    EXPECT_EQ(vertex.g, 20);
    EXPECT_EQ(vertex.b, 30);
    EXPECT_EQ(vertex.a, 0.5f);
  }
  const auto calls = CallTexts();
  ASSERT_GE(calls.size(), 5u);
  EXPECT_THAT(
      std::vector<std::string>(calls.begin(), calls.begin() + 2),
      ElementsAre("CreateMesh(0) -> MESH", ::testing::StartsWith("CreateSurface(MESH, 0)")));
  EXPECT_THAT(std::vector<std::string>(calls.end() - 3, calls.end()),
              ElementsAre("PositionEntity(MESH, 1.5, -2, 3, 0)", "ScaleMesh(MESH, 10, 10, 10)",
                          "EntityFX(MESH, 17)"));
  // Vertices and colours interleave, one colour call right after each vertex.
  EXPECT_THAT(CallTexts(0, {"AddVertex", "VertexColor"})[1],
              ::testing::EndsWith(", 0, 10, 20, 30, 0.5)"));
}

TEST_F(CreatePatchTest, SizesOutsideTheTableBuildNothing) {
  for (int size : {0, -1, 34, 1000}) {
    SCOPED_TRACE(size);
    EXPECT_EQ(CREATEPATCH(size, 1.0, 0, 0, 0, 255, 255, 255, 1.0, 0), nullptr);
    EXPECT_THAT(recorder::Calls(), IsEmpty());
  }
}

}  // namespace
