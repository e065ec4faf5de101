// Triangle-triangle intersection: does a pair of triangles in space touch or intersect?
// Exported with plain C symbol names; both functions are pure, allocate nothing and keep no state.
// Points are three consecutive floats x, y, z; the test only ever reads them. A null pointer
// anywhere gives 0.
#ifndef SKY_SUPPORT_CROSSTEST_H
#define SKY_SUPPORT_CROSSTEST_H

#ifdef __cplusplus
extern "C" {
#endif

// 1 when triangle (V0, V1, V2) and triangle (U0, U1, U2) share at least one point, else 0.
int tri_tri_intersect(const float V0[3], const float V1[3], const float V2[3], const float U0[3],
                      const float U1[3], const float U2[3]);

// 1 when the two triangles, taken as lying in one plane with normal N (any length), overlap or
// touch, else 0. Only the magnitudes of N's components are used.
int coplanar_tri_tri(const float N[3], const float V0[3], const float V1[3], const float V2[3],
                     const float U0[3], const float U1[3], const float U2[3]);

#ifdef __cplusplus
}
#endif

#endif
