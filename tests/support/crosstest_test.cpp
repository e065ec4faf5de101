// Tests of the triangle-triangle test: hand-picked pairs for each step and threshold, the
// coplanar projection choice and its ties, and a differential run against an exact integer
// oracle built from orientation predicates on random triangles with small integer coordinates.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "crosstest.h"

namespace {

using P = std::array<float, 3>;
struct Tri {
  P a, b, c;
};

int intersect(const Tri& v, const Tri& u) {
  return tri_tri_intersect(v.a.data(), v.b.data(), v.c.data(), u.a.data(), u.b.data(), u.c.data());
}

Tri lifted(const Tri& t, float dz) {
  return {
      {t.a[0], t.a[1], t.a[2] + dz}, {t.b[0], t.b[1], t.b[2] + dz}, {t.c[0], t.c[1], t.c[2] + dz}};
}

struct PairCase {
  const char* name;
  Tri v, u;
  int expected;
};

const Tri kUnit{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
const Tri kBig{{0, 0, 0}, {1000, 0, 0}, {0, 1000, 0}};
const float kFloatNearest1e6 = 9.99999997e-7f;  // just below the double 1e-6
const float kNextAbove = std::nextafter(kFloatNearest1e6, 1.0f);

TEST(Crosstest, TablePairsBothOrders) {
  const PairCase cases[] = {
      {"separated by the first plane", kUnit, {{0, 0, 1}, {1, 0, 1}, {0, 1, 2}}, 0},
      {"crossing",
       {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}},
       {{0.5f, 0.5f, -1}, {0.5f, 0.5f, 1}, {1.5f, 0.5f, 0}},
       1},
      {"one shared vertex, |D.x| = |D.y|", kUnit, {{0, 0, 0}, {0, 0, 1}, {-1, -1, 1}}, 1},
      {"vertex touching the inside of the face",
       {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}},
       {{1, 1, 0}, {1, 1, 3}, {2, 3, 3}},
       1},
      {"vertex just above the face",
       {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}},
       {{1, 1, 0.25f}, {1, 1, 3}, {2, 3, 3}},
       0},
      {"interval ends equal",
       {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}},
       {{2, 0, -1}, {2, 0, 1}, {4, 0, 0}},
       1},
      {"interval ends apart",
       {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}},
       {{2.5f, 0, -1}, {2.5f, 0, 1}, {4, 0, 0}},
       0},
      {"planes cross, triangles miss",
       {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}},
       {{3, 3, -1}, {3, 3, 1}, {4, 3, 0}},
       0},
      {"edge lying in the other plane",
       {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}},
       {{-1, 0.5f, 0}, {3, 0.5f, 0}, {1, 0.5f, 2}},
       1},
      {"lift 5e-7 snaps to coplanar", kUnit, lifted(kUnit, 5e-7f), 1},
      {"lift 2e-6 does not snap", kUnit, lifted(kUnit, 2e-6f), 0},
      {"lift by the float nearest 1e-6 snaps", kUnit, lifted(kUnit, kFloatNearest1e6), 1},
      {"lift by the next float above does not", kUnit, lifted(kUnit, kNextAbove), 0},
      {"raw distance: size-1000 triangle lifted 5e-7", kBig, lifted(kBig, 5e-7f), 0},
      {"coplanar, one inside the other",
       {{0, 0, 0}, {8, 0, 0}, {0, 8, 0}},
       {{1, 1, 0}, {2, 1, 0}, {1, 2, 0}},
       1},
      {"coplanar, shared edge, opposite sides",
       {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}},
       {{2, 0, 0}, {0, 2, 0}, {2, 2, 0}},
       1},
      {"coplanar, disjoint",
       {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
       {{2, 2, 0}, {3, 2, 0}, {2, 3, 0}},
       0},
      {"coplanar, tilted plane, crossing edges",
       {{0, 0, 0}, {2, 0, 2}, {0, 2, 2}},
       {{1, -1, 0}, {1, 2, 3}, {-1, 1, 0}},
       1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(intersect(c.v, c.u), c.expected) << c.name;
    EXPECT_EQ(intersect(c.u, c.v), c.expected) << c.name << " (swapped)";
  }
}

TEST(Crosstest, FloatNearestOneMillionthLiesBelowTheDoubleThreshold) {
  EXPECT_LT(static_cast<double>(kFloatNearest1e6), 1e-6);
  EXPECT_GE(static_cast<double>(kNextAbove), 1e-6);
  EXPECT_EQ(kFloatNearest1e6, 1e-6f);
}

// Two triangles that coincide when projected with `dropped` left out and are apart (offset 5
// along `dropped`) in either of the other two projections. So the coplanar test says 1 exactly
// when it drops that axis.
int coplanar_with_dropped_axis(const P& normal, int dropped) {
  const int i0 = dropped == 0 ? 1 : 0;
  const int i1 = dropped == 2 ? 1 : 2;
  P v[3] = {};
  v[1][i0] = 1;
  v[2][i1] = 1;
  P u[3] = {v[0], v[1], v[2]};
  for (P& p : u) p[dropped] = 5;
  return coplanar_tri_tri(normal.data(), v[0].data(), v[1].data(), v[2].data(), u[0].data(),
                          u[1].data(), u[2].data());
}

TEST(Crosstest, CoplanarProjectionDropsTheLargestAxisWithTies) {
  struct {
    P normal;
    int dropped;
  } cases[] = {
      {{3, 1, 2}, 0}, {{1, 3, 2}, 1},   {{1, 2, 3}, 2},     {{-3, 1, -2}, 0},
      {{1, 1, 1}, 1}, {{1, 0, 1}, 2},   {{0, 1, 1}, 1},     {{1, 1, 0}, 1},
      {{0, 0, 0}, 1}, {{-2, 2, -2}, 1}, {{-1, 0.5f, 1}, 2}, {{0.5f, -1, 1}, 1},
  };
  for (const auto& c : cases) {
    for (int axis = 0; axis < 3; ++axis) {
      EXPECT_EQ(coplanar_with_dropped_axis(c.normal, axis), axis == c.dropped ? 1 : 0)
          << "normal (" << c.normal[0] << ", " << c.normal[1] << ", " << c.normal[2]
          << "), trying to drop axis " << axis;
    }
  }
}

TEST(Crosstest, CoplanarEdgeAndContainmentRules) {
  const P n{0, 0, 1};
  auto cop = [&](const Tri& v, const Tri& u) {
    return coplanar_tri_tri(n.data(), v.a.data(), v.b.data(), v.c.data(), u.a.data(), u.b.data(),
                            u.c.data());
  };
  const Tri big{{0, 0, 0}, {8, 0, 0}, {0, 8, 0}};
  const Tri inside{{1, 1, 0}, {2, 1, 0}, {1, 2, 0}};
  EXPECT_EQ(cop(big, inside), 1);
  EXPECT_EQ(cop(inside, big), 1);
  // A vertex on the other's edge: the edges meet at an end point.
  EXPECT_EQ(cop(big, Tri{{4, 0, 0}, {5, -1, 0}, {6, -2, 0}}), 1);
  // Containment at a tiny scale: side values near 1e-24, whose float products would underflow
  // to zero; the sign rule must still see the point inside.
  const float k = 1e-12f;
  EXPECT_EQ(cop(Tri{{0, 0, 0}, {8 * k, 0, 0}, {0, 8 * k, 0}},
                Tri{{k, k, 0}, {2 * k, k, 0}, {k, 2 * k, 0}}),
            1);
  EXPECT_EQ(cop(Tri{{k, k, 0}, {2 * k, k, 0}, {k, 2 * k, 0}},
                Tri{{0, 0, 0}, {8 * k, 0, 0}, {0, 8 * k, 0}}),
            1);
  // Only collinear overlapping edges, with both triangles degenerate: parallel edges never meet.
  EXPECT_EQ(cop(Tri{{0, 0, 0}, {2, 0, 0}, {1, 0, 0}}, Tri{{1, 0, 0}, {3, 0, 0}, {2, 0, 0}}), 0);
}

TEST(Crosstest, DegenerateTrianglesFollowTheSameSteps) {
  // Zero-area first triangle: N1 = 0, every distance of U to it is 0, and the coplanar test
  // decides with the zero normal, i.e. in the x-z projection. U here lies far off in y, so the
  // answer is 1 although the two do not touch in space.
  const Tri segment{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
  EXPECT_EQ(intersect(segment, Tri{{1, 5, -1}, {1, 7, -1}, {1, 6, 1}}), 1);
  EXPECT_EQ(intersect(segment, Tri{{1, -1, -1}, {1, 1, -1}, {1, 0, 1}}), 1);
  // ...unless it lies strictly on one side of U's plane.
  EXPECT_EQ(intersect(segment, Tri{{3, -1, -1}, {3, 1, -1}, {3, 0, 1}}), 0);
  // Zero-area second triangle straddling the first plane: decided by the coplanar test in the
  // projection chosen by N1 = (0, 0, 1), i.e. x-y.
  const Tri flat{{0, 0, 0}, {2, 0, 0}, {0, 2, 0}};
  EXPECT_EQ(intersect(flat, Tri{{0.5f, 0.5f, -1}, {0.5f, 0.5f, 1}, {0.5f, 0.5f, 0}}), 1);
  EXPECT_EQ(intersect(flat, Tri{{5, 5, -1}, {5, 5, 1}, {5, 5, 0}}), 0);
  // Apart in x-y but crossing in x-z: only the projection N1 picks gives 0.
  EXPECT_EQ(intersect(flat, Tri{{0.5f, 5, -1}, {0.5f, 5, 1}, {0.5f, 5, 0}}), 0);
}

// Each of the points (and the coplanar test's normal) in turn left out: 0, never a crash, even
// for two copies of one triangle, which otherwise intersect.
TEST(Crosstest, NullPointsGiveZero) {
  const float normal[3] = {0, 0, 1};
  const float* p[7] = {normal,         kUnit.a.data(), kUnit.b.data(), kUnit.c.data(),
                       kUnit.a.data(), kUnit.b.data(), kUnit.c.data()};  // normal, V, U
  ASSERT_EQ(tri_tri_intersect(p[1], p[2], p[3], p[4], p[5], p[6]), 1);
  ASSERT_EQ(coplanar_tri_tri(p[0], p[1], p[2], p[3], p[4], p[5], p[6]), 1);
  for (int missing = 0; missing < 7; ++missing) {
    const float* q[7];
    for (int i = 0; i < 7; ++i) q[i] = i == missing ? nullptr : p[i];
    if (missing > 0) {
      EXPECT_EQ(tri_tri_intersect(q[1], q[2], q[3], q[4], q[5], q[6]), 0) << missing;
    }
    EXPECT_EQ(coplanar_tri_tri(q[0], q[1], q[2], q[3], q[4], q[5], q[6]), 0) << missing;
  }
}

// ---- Exact oracle on integer coordinates ---------------------------------------------------

using IP = std::array<std::int64_t, 3>;

std::int64_t orient3d(const IP& a, const IP& b, const IP& c, const IP& d) {
  const std::int64_t bx = b[0] - a[0], by = b[1] - a[1], bz = b[2] - a[2];
  const std::int64_t cx = c[0] - a[0], cy = c[1] - a[1], cz = c[2] - a[2];
  const std::int64_t dx = d[0] - a[0], dy = d[1] - a[1], dz = d[2] - a[2];
  return bx * (cy * dz - cz * dy) - by * (cx * dz - cz * dx) + bz * (cx * dy - cy * dx);
}

int sign(std::int64_t v) {
  return (v > 0) - (v < 0);
}

IP normal_of(const IP& a, const IP& b, const IP& c) {
  const std::int64_t e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
  const std::int64_t e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
  return {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
          e1[0] * e2[1] - e1[1] * e2[0]};
}

struct Plane2 {  // projection of a plane onto the two axes where it is not degenerate
  int i0, i1;
};
Plane2 projection_for(const IP& n) {
  const std::int64_t a0 = std::llabs(n[0]), a1 = std::llabs(n[1]), a2 = std::llabs(n[2]);
  if (a0 >= a1 && a0 >= a2) return {1, 2};
  if (a1 >= a2) return {0, 2};
  return {0, 1};
}

std::int64_t orient2d(const IP& a, const IP& b, const IP& c, Plane2 p) {
  return (b[p.i0] - a[p.i0]) * (c[p.i1] - a[p.i1]) - (b[p.i1] - a[p.i1]) * (c[p.i0] - a[p.i0]);
}

bool on_segment2d(const IP& a, const IP& b, const IP& x, Plane2 p) {
  return orient2d(a, b, x, p) == 0 && std::min(a[p.i0], b[p.i0]) <= x[p.i0] &&
         x[p.i0] <= std::max(a[p.i0], b[p.i0]) && std::min(a[p.i1], b[p.i1]) <= x[p.i1] &&
         x[p.i1] <= std::max(a[p.i1], b[p.i1]);
}

bool segments_meet2d(const IP& a, const IP& b, const IP& c, const IP& d, Plane2 p) {
  const int o1 = sign(orient2d(a, b, c, p)), o2 = sign(orient2d(a, b, d, p));
  const int o3 = sign(orient2d(c, d, a, p)), o4 = sign(orient2d(c, d, b, p));
  if (o1 * o2 < 0 && o3 * o4 < 0) return true;
  return on_segment2d(a, b, c, p) || on_segment2d(a, b, d, p) || on_segment2d(c, d, a, p) ||
         on_segment2d(c, d, b, p);
}

// Closed, non-degenerate triangle t.
bool inside2d(const IP& x, const std::array<IP, 3>& t, Plane2 p) {
  const int s0 = sign(orient2d(t[0], t[1], x, p));
  const int s1 = sign(orient2d(t[1], t[2], x, p));
  const int s2 = sign(orient2d(t[2], t[0], x, p));
  return (s0 >= 0 && s1 >= 0 && s2 >= 0) || (s0 <= 0 && s1 <= 0 && s2 <= 0);
}

bool segment_meets_triangle2d(const IP& a, const IP& b, const std::array<IP, 3>& t, Plane2 p) {
  if (inside2d(a, t, p) || inside2d(b, t, p)) return true;
  for (int i = 0; i < 3; ++i) {
    if (segments_meet2d(a, b, t[i], t[(i + 1) % 3], p)) return true;
  }
  return false;
}

struct EdgeHit {
  bool meets = false;
  bool proper = false;  // crosses the plane strictly and passes strictly inside the triangle
};

EdgeHit segment_meets_triangle3d(const IP& a, const IP& b, const std::array<IP, 3>& t) {
  const int sa = sign(orient3d(t[0], t[1], t[2], a));
  const int sb = sign(orient3d(t[0], t[1], t[2], b));
  if (sa * sb > 0) return {};
  if (sa == 0 && sb == 0) {
    return {segment_meets_triangle2d(a, b, t, projection_for(normal_of(t[0], t[1], t[2]))), false};
  }
  const int e0 = sign(orient3d(a, b, t[0], t[1]));
  const int e1 = sign(orient3d(a, b, t[1], t[2]));
  const int e2 = sign(orient3d(a, b, t[2], t[0]));
  const bool meets = (e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0);
  const bool proper = sa * sb < 0 && e0 != 0 && e0 == e1 && e1 == e2;
  return {meets, proper};
}

bool point_in_triangle3d(const IP& x, const std::array<IP, 3>& t) {
  if (orient3d(t[0], t[1], t[2], x) != 0) return false;
  return inside2d(x, t, projection_for(normal_of(t[0], t[1], t[2])));
}

struct Verdict {
  bool meets;
  // The only contact is a single point where an edge of one triangle crosses an edge of the
  // other in space. There both interval ends come from rounded divisions of equal rationals, so
  // the float test may round them apart: such pairs are left out of the comparison.
  bool edge_edge_point_only;
};

Verdict exact_intersect(const std::array<IP, 3>& v, const std::array<IP, 3>& u) {
  const IP nv = normal_of(v[0], v[1], v[2]);
  const bool coplanar = orient3d(v[0], v[1], v[2], u[0]) == 0 &&
                        orient3d(v[0], v[1], v[2], u[1]) == 0 &&
                        orient3d(v[0], v[1], v[2], u[2]) == 0;
  if (coplanar) {
    const Plane2 p = projection_for(nv);
    for (int i = 0; i < 3; ++i) {
      if (segment_meets_triangle2d(v[i], v[(i + 1) % 3], u, p)) return {true, false};
      if (segment_meets_triangle2d(u[i], u[(i + 1) % 3], v, p)) return {true, false};
    }
    return {false, false};
  }
  bool meets = false, proper = false, vertex_contact = false;
  for (int i = 0; i < 3; ++i) {
    const EdgeHit hv = segment_meets_triangle3d(v[i], v[(i + 1) % 3], u);
    const EdgeHit hu = segment_meets_triangle3d(u[i], u[(i + 1) % 3], v);
    meets = meets || hv.meets || hu.meets;
    proper = proper || hv.proper || hu.proper;
    vertex_contact = vertex_contact || point_in_triangle3d(v[i], u) || point_in_triangle3d(u[i], v);
  }
  return {meets, meets && !proper && !vertex_contact};
}

// Coordinates in -2..2: every edge, normal, distance, product and projected coordinate is a
// small integer and exact in float. Only the interval ends are rounded (one division each), and
// two distinct ends differ by far more than that rounding, so the float answer must be exact.
TEST(Crosstest, MatchesExactOracleOnSmallIntegerTriangles) {
  std::mt19937 rng(20261211);
  std::uniform_int_distribution<int> coord(-2, 2);
  auto random_point = [&] { return IP{coord(rng), coord(rng), coord(rng)}; };
  auto random_triangle = [&] {
    for (;;) {
      std::array<IP, 3> t{random_point(), random_point(), random_point()};
      if (normal_of(t[0], t[1], t[2]) != IP{0, 0, 0}) return t;
    }
  };
  // Points of the grid on the plane of t, for coplanar pairs.
  auto grid_points_on_plane = [](const std::array<IP, 3>& t) {
    std::vector<IP> on;
    for (int x = -2; x <= 2; ++x)
      for (int y = -2; y <= 2; ++y)
        for (int z = -2; z <= 2; ++z)
          if (orient3d(t[0], t[1], t[2], IP{x, y, z}) == 0) on.push_back({x, y, z});
    return on;
  };
  auto to_float = [](const IP& p) {
    return P{static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])};
  };

  const int kPairs = 60000;
  int compared = 0, hits = 0, coplanar_hits = 0;
  for (int n = 0; n < kPairs; ++n) {
    const std::array<IP, 3> v = random_triangle();
    std::array<IP, 3> u;
    const int kind = n % 4;
    if (kind == 0 || kind == 1) {
      u = random_triangle();
    } else if (kind == 2) {  // coplanar pair
      const std::vector<IP> on = grid_points_on_plane(v);
      std::uniform_int_distribution<std::size_t> pick(0, on.size() - 1);
      do {
        u = {on[pick(rng)], on[pick(rng)], on[pick(rng)]};
      } while (normal_of(u[0], u[1], u[2]) == IP{0, 0, 0});
    } else {  // sharing one or two vertices
      do {
        u = {v[rng() % 3], (rng() % 2) ? v[rng() % 3] : random_point(), random_point()};
      } while (normal_of(u[0], u[1], u[2]) == IP{0, 0, 0});
    }
    const Verdict exact = exact_intersect(v, u);
    if (exact.edge_edge_point_only) continue;
    ++compared;
    hits += exact.meets;
    coplanar_hits += exact.meets && kind == 2;
    const Tri fv{to_float(v[0]), to_float(v[1]), to_float(v[2])};
    const Tri fu{to_float(u[0]), to_float(u[1]), to_float(u[2])};
    ASSERT_EQ(intersect(fv, fu), exact.meets ? 1 : 0)
        << "V = (" << v[0][0] << "," << v[0][1] << "," << v[0][2] << ") (" << v[1][0] << ","
        << v[1][1] << "," << v[1][2] << ") (" << v[2][0] << "," << v[2][1] << "," << v[2][2]
        << ")  U = (" << u[0][0] << "," << u[0][1] << "," << u[0][2] << ") (" << u[1][0] << ","
        << u[1][1] << "," << u[1][2] << ") (" << u[2][0] << "," << u[2][1] << "," << u[2][2] << ")";
    ASSERT_EQ(intersect(fu, fv), exact.meets ? 1 : 0) << "swapped, pair " << n;
  }
  // The comparison covers nearly every pair and both answers in good numbers.
  EXPECT_GT(compared, kPairs * 95 / 100);
  EXPECT_GT(hits, compared / 10);
  EXPECT_LT(hits, compared * 9 / 10);
  EXPECT_GT(coplanar_hits, kPairs / 20);
}

}  // namespace
