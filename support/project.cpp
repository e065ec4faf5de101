// Single-precision gluProject / gluUnProject with the usual formulas: every named value is a
// float, rounded when it is formed. Failures return 0 and write nothing. No state, no
// allocation: the matrices are multiplied and inverted anew on every call in local arrays.
#include "project.h"

#include <cmath>
#include <cstring>

namespace {

// out = m * in, each sum taken left to right. out and in must be different arrays.
void transform_point(float out[4], const float m[16], const float in[4]) {
  for (int i = 0; i < 4; ++i) {
    out[i] = m[i] * in[0] + m[4 + i] * in[1] + m[8 + i] * in[2] + m[12 + i] * in[3];
  }
}

// product = a * b. Written through a temporary, so product may be a or b.
void matmul(float product[16], const float a[16], const float b[16]) {
  float temp[16];
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      temp[4 * j + i] = a[i] * b[4 * j] + a[4 + i] * b[4 * j + 1] + a[8 + i] * b[4 * j + 2] +
                        a[12 + i] * b[4 * j + 3];
    }
  }
  std::memcpy(product, temp, sizeof temp);
}

void swap_rows(float*& a, float*& b) {
  float* const t = a;
  a = b;
  b = t;
}

// Gauss-Jordan elimination with row exchanges chosen by magnitude. Rows are reached through
// references that pivoting exchanges, so no row is ever copied. Any pivot that is not exactly
// zero is accepted. On failure out is not written; out may be the same array as m.
bool invert_matrix(const float m[16], float out[16]) {
  float work[4][8];
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      work[i][j] = m[4 * j + i];
      work[i][4 + j] = (i == j) ? 1.0f : 0.0f;
    }
  }
  float* r0 = work[0];
  float* r1 = work[1];
  float* r2 = work[2];
  float* r3 = work[3];

  // Column 0: bubble the largest magnitude up to r0; on a tie the upper row stays.
  if (std::fabs(r3[0]) > std::fabs(r2[0])) swap_rows(r3, r2);
  if (std::fabs(r2[0]) > std::fabs(r1[0])) swap_rows(r2, r1);
  if (std::fabs(r1[0]) > std::fabs(r0[0])) swap_rows(r1, r0);
  if (r0[0] == 0.0f) return false;

  {
    const float m1 = r1[0] / r0[0];
    const float m2 = r2[0] / r0[0];
    const float m3 = r3[0] / r0[0];
    for (int c = 1; c < 8; ++c) {
      const float s = r0[c];
      if (c >= 4 && s == 0.0f) continue;  // identity half: nothing to subtract
      r1[c] -= m1 * s;
      r2[c] -= m2 * s;
      r3[c] -= m3 * s;
    }
  }

  if (std::fabs(r3[1]) > std::fabs(r2[1])) swap_rows(r3, r2);
  if (std::fabs(r2[1]) > std::fabs(r1[1])) swap_rows(r2, r1);
  if (r1[1] == 0.0f) return false;

  {
    const float m2 = r2[1] / r1[1];
    const float m3 = r3[1] / r1[1];
    for (int c = 2; c < 8; ++c) {
      const float s = r1[c];
      if (c >= 4 && s == 0.0f) continue;
      r2[c] -= m2 * s;
      r3[c] -= m3 * s;
    }
  }

  if (std::fabs(r3[2]) > std::fabs(r2[2])) swap_rows(r3, r2);
  if (r2[2] == 0.0f) return false;

  {
    const float m3 = r3[2] / r2[2];
    for (int c = 3; c < 8; ++c) r3[c] -= m3 * r2[c];
  }

  if (r3[3] == 0.0f) return false;

  // Back substitution on the right half; the left-half multipliers stay as elimination left them.
  float s = 1.0f / r3[3];
  for (int c = 4; c < 8; ++c) r3[c] = r3[c] * s;

  s = 1.0f / r2[2];
  for (int c = 4; c < 8; ++c) r2[c] = s * (r2[c] - r3[c] * r2[3]);

  for (int c = 4; c < 8; ++c) r1[c] -= r3[c] * r1[3];
  for (int c = 4; c < 8; ++c) r0[c] -= r3[c] * r0[3];

  s = 1.0f / r1[1];
  for (int c = 4; c < 8; ++c) r1[c] = s * (r1[c] - r2[c] * r1[2]);
  for (int c = 4; c < 8; ++c) r0[c] -= r2[c] * r0[2];

  s = 1.0f / r0[0];
  for (int c = 4; c < 8; ++c) r0[c] = s * (r0[c] - r1[c] * r0[1]);

  const float* const rows[4] = {r0, r1, r2, r3};
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) out[4 * j + i] = rows[i][4 + j];
  }
  return true;
}

}  // namespace

int gluProject(float objx, float objy, float objz, const float model[16], const float proj[16],
               const int viewport[4], float* winx, float* winy, float* winz) {
  // A missing matrix, viewport or output is bad input: fail rather than crash.
  if (!model || !proj || !viewport || !winx || !winy || !winz) return 0;
  const float in[4] = {objx, objy, objz, 1.0f};
  float eye[4];
  float clip[4];
  transform_point(eye, model, in);
  transform_point(clip, proj, eye);
  if (clip[3] == 0.0f) return 0;

  const float ndc_x = clip[0] / clip[3];
  const float ndc_y = clip[1] / clip[3];
  const float ndc_z = clip[2] / clip[3];

  // Scale by the viewport size first, then halve, then add the corner.
  *winx =
      static_cast<float>(viewport[0]) + ((1.0f + ndc_x) * static_cast<float>(viewport[2])) / 2.0f;
  *winy =
      static_cast<float>(viewport[1]) + ((1.0f + ndc_y) * static_cast<float>(viewport[3])) / 2.0f;
  *winz = (1.0f + ndc_z) / 2.0f;
  return 1;
}

int gluUnProject(float winx, float winy, float winz, const float model[16], const float proj[16],
                 const int viewport[4], float* objx, float* objy, float* objz) {
  if (!model || !proj || !viewport || !objx || !objy || !objz) return 0;
  // A viewport without area maps every window point to infinity or NaN; report it as a
  // failure rather than hand back coordinates that are not finite.
  if (viewport[2] == 0 || viewport[3] == 0) return 0;

  float in[4];
  in[0] =
      ((winx - static_cast<float>(viewport[0])) * 2.0f) / static_cast<float>(viewport[2]) - 1.0f;
  in[1] =
      ((winy - static_cast<float>(viewport[1])) * 2.0f) / static_cast<float>(viewport[3]) - 1.0f;
  in[2] = 2.0f * winz - 1.0f;
  in[3] = 1.0f;

  float inverse[16];
  matmul(inverse, proj, model);
  if (!invert_matrix(inverse, inverse)) return 0;

  float out[4];
  transform_point(out, inverse, in);
  if (out[3] == 0.0f) return 0;

  *objx = out[0] / out[3];
  *objy = out[1] / out[3];
  *objz = out[2] / out[3];
  return 1;
}
