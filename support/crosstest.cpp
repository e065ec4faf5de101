// Triangle-triangle intersection by interval overlap on the line where the two planes meet, in
// single precision, with near-zero plane distances snapped to zero so that nearly coplanar
// triangles go to the 2D test in their common plane. Every named value below is a float, rounded
// as it is formed.
#include "crosstest.h"

#include <cmath>

namespace {

// Raw (unnormalised) plane distances below this magnitude count as zero. Kept in double on
// purpose: the float nearest 1e-6 lies just below it and so still snaps.
constexpr double kSnapDistance = 1e-6;

// Normal of the plane through a, b, c: (b - a) x (c - a), not normalised.
void plane_normal(const float* a, const float* b, const float* c, float n[3]) {
  const float e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
  const float e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
  n[0] = e1[1] * e2[2] - e1[2] * e2[1];
  n[1] = e1[2] * e2[0] - e1[0] * e2[2];
  n[2] = e1[0] * e2[1] - e1[1] * e2[0];
}

float dot(const float* n, const float* p) {
  const float d = n[0] * p[0] + n[1] * p[1] + n[2] * p[2];
  return d;
}

float snap(float distance) {
  return std::fabs(distance) < kSnapDistance ? 0.0f : distance;
}

// Plane of triangle (a, b, c) and the snapped signed distances of p0, p1, p2 to it, with the
// two products the rejection test and the interval rule use. Returns false when all three
// points lie strictly on one side, so the triangles cannot meet.
bool plane_distances(const float* a, const float* b, const float* c, const float* p0,
                     const float* p1, const float* p2, float n[3], float dist[3], float& d0d1,
                     float& d0d2) {
  plane_normal(a, b, c, n);
  const float offset = -dot(n, a);
  dist[0] = snap(dot(n, p0) + offset);
  dist[1] = snap(dot(n, p1) + offset);
  dist[2] = snap(dot(n, p2) + offset);
  d0d1 = dist[0] * dist[1];
  d0d2 = dist[0] * dist[2];
  return !(d0d1 > 0.0f && d0d2 > 0.0f);
}

// One end of an interval: where the edge from the apex k to vertex a crosses the other plane.
// The coordinate difference is scaled by s_k before the division, as the rounding depends on it.
float crossing(float pk, float pa, float sk, float sa) {
  const float scaled = (pa - pk) * sk;
  const float denominator = sk - sa;
  const float end = pk + scaled / denominator;
  return end;
}

// Interval of one triangle on the intersection line. Returns false when all three distances are
// zero (the triangles are coplanar), in which case the interval is not formed.
bool interval(const float p[3], const float s[3], float s0s1, float s0s2, float& lo, float& hi) {
  int k, a, b;
  const float s1s2 = s[1] * s[2];
  if (s0s1 > 0.0f) {
    k = 2, a = 0, b = 1;
  } else if (s0s2 > 0.0f) {
    k = 1, a = 0, b = 2;
  } else if (s1s2 > 0.0f || s[0] != 0.0f) {
    k = 0, a = 1, b = 2;
  } else if (s[1] != 0.0f) {
    k = 1, a = 0, b = 2;
  } else if (s[2] != 0.0f) {
    k = 2, a = 0, b = 1;
  } else {
    return false;
  }
  lo = crossing(p[k], p[a], s[k], s[a]);
  hi = crossing(p[k], p[b], s[k], s[b]);
  return true;
}

// Do edge P->Q (with Ax, Ay precomputed) and edge R->S meet in the projection (i0, i1)?
// Parallel edges (f == 0) never meet here; all bounds are inclusive.
bool edge_meets_edge(float ax, float ay, const float* p, const float* r, const float* s, int i0,
                     int i1) {
  const float bx = r[i0] - s[i0];
  const float by = r[i1] - s[i1];
  const float cx = p[i0] - r[i0];
  const float cy = p[i1] - r[i1];
  const float f = ay * bx - ax * by;
  const float d = by * cx - bx * cy;
  if ((f > 0.0f && d >= 0.0f && d <= f) || (f < 0.0f && d <= 0.0f && d >= f)) {
    const float e = ax * cy - ay * cx;
    if (f > 0.0f) {
      if (e >= 0.0f && e <= f) return true;
    } else {
      if (e <= 0.0f && e >= f) return true;
    }
  }
  return false;
}

bool edge_meets_triangle(const float* p, const float* q, const float* u0, const float* u1,
                         const float* u2, int i0, int i1) {
  const float ax = q[i0] - p[i0];
  const float ay = q[i1] - p[i1];
  return edge_meets_edge(ax, ay, p, u0, u1, i0, i1) || edge_meets_edge(ax, ay, p, u1, u2, i0, i1) ||
         edge_meets_edge(ax, ay, p, u2, u0, i0, i1);
}

float side(const float* p, const float* ta, const float* tb, int i0, int i1) {
  const float alpha = tb[i1] - ta[i1];
  const float beta = -(tb[i0] - ta[i0]);
  const float gamma = -alpha * ta[i0] - beta * ta[i1];
  const float value = alpha * p[i0] + beta * p[i1] + gamma;
  return value;
}

// Strictly inside: three non-zero side values of one sign. The products are taken in double,
// where the product of two floats is exact, so tiny side values cannot underflow to zero.
bool point_inside(const float* p, const float* t0, const float* t1, const float* t2, int i0,
                  int i1) {
  const double side0 = side(p, t0, t1, i0, i1);
  const double side1 = side(p, t1, t2, i0, i1);
  const double side2 = side(p, t2, t0, i0, i1);
  return side0 * side1 > 0.0 && side0 * side2 > 0.0;
}

}  // namespace

extern "C" int coplanar_tri_tri(const float N[3], const float V0[3], const float V1[3],
                                const float V2[3], const float U0[3], const float U1[3],
                                const float U2[3]) {
  // A missing point is bad input, not a reason to crash: such triangles share nothing.
  if (!N || !V0 || !V1 || !V2 || !U0 || !U1 || !U2) return 0;
  // Project onto the axis-aligned plane in which the triangles have the largest area: drop the
  // axis along which the normal is largest. Strict comparisons: ties drop the later axis as
  // listed (|x| = |y| drops y, |x| = |z| drops z, |y| = |z| drops y).
  const float a0 = std::fabs(N[0]);
  const float a1 = std::fabs(N[1]);
  const float a2 = std::fabs(N[2]);
  int i0, i1;
  if (a0 > a1) {
    if (a0 > a2) {
      i0 = 1, i1 = 2;
    } else {
      i0 = 0, i1 = 1;
    }
  } else {
    if (a2 > a1) {
      i0 = 0, i1 = 1;
    } else {
      i0 = 0, i1 = 2;
    }
  }

  if (edge_meets_triangle(V0, V1, U0, U1, U2, i0, i1) ||
      edge_meets_triangle(V1, V2, U0, U1, U2, i0, i1) ||
      edge_meets_triangle(V2, V0, U0, U1, U2, i0, i1)) {
    return 1;
  }
  // No edges cross, so either one triangle holds the other or they are apart.
  if (point_inside(V0, U0, U1, U2, i0, i1)) return 1;
  if (point_inside(U0, V0, V1, V2, i0, i1)) return 1;
  return 0;
}

extern "C" int tri_tri_intersect(const float V0[3], const float V1[3], const float V2[3],
                                 const float U0[3], const float U1[3], const float U2[3]) {
  if (!V0 || !V1 || !V2 || !U0 || !U1 || !U2) return 0;  // bad input: no crash, no contact
  // Plane of the first triangle, and where the second triangle's vertices lie against it; the
  // second plane is formed only when U is not wholly on one side of the first.
  float n1[3], du[3], du0du1, du0du2;
  if (!plane_distances(V0, V1, V2, U0, U1, U2, n1, du, du0du1, du0du2)) return 0;
  // The same the other way round.
  float n2[3], dv[3], dv0dv1, dv0dv2;
  if (!plane_distances(U0, U1, U2, V0, V1, V2, n2, dv, dv0dv1, dv0dv2)) return 0;

  // Both triangles cross the line where the planes meet. Compare their intervals on it, measured
  // along the coordinate axis on which the line's direction is largest (ties go to the lower
  // axis); that coordinate alone orders points on the line.
  const float d[3] = {n1[1] * n2[2] - n1[2] * n2[1], n1[2] * n2[0] - n1[0] * n2[2],
                      n1[0] * n2[1] - n1[1] * n2[0]};
  float largest = std::fabs(d[0]);
  int axis = 0;
  const float by = std::fabs(d[1]);
  const float bz = std::fabs(d[2]);
  if (by > largest) largest = by, axis = 1;
  if (bz > largest) largest = bz, axis = 2;

  const float vp[3] = {V0[axis], V1[axis], V2[axis]};
  const float up[3] = {U0[axis], U1[axis], U2[axis]};

  float v_lo, v_hi, u_lo, u_hi;
  if (!interval(vp, dv, dv0dv1, dv0dv2, v_lo, v_hi)) {
    return coplanar_tri_tri(n1, V0, V1, V2, U0, U1, U2);
  }
  if (!interval(up, du, du0du1, du0du2, u_lo, u_hi)) {
    return coplanar_tri_tri(n1, V0, V1, V2, U0, U1, U2);
  }
  if (v_lo > v_hi) {
    const float t = v_lo;
    v_lo = v_hi, v_hi = t;
  }
  if (u_lo > u_hi) {
    const float t = u_lo;
    u_lo = u_hi, u_hi = t;
  }
  // Closed intervals: touching ends count as overlap.
  if (v_hi < u_lo || u_hi < v_lo) return 0;
  return 1;
}
