// The double-precision stand-in: the same projection formulas in double, with a plain
// Gauss-Jordan inverse (partial pivoting). Exported unmangled, like a C library's functions.
#include "glu_double_standin.h"

#include <cmath>
#include <utility>

namespace {

void transform(double out[4], const double m[16], const double in[4]) {
  for (int i = 0; i < 4; ++i) {
    out[i] = m[i] * in[0] + m[4 + i] * in[1] + m[8 + i] * in[2] + m[12 + i] * in[3];
  }
}

bool invert(const double m[16], double out[16]) {
  double a[4][8];
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      a[i][j] = m[4 * j + i];
      a[i][4 + j] = i == j ? 1.0 : 0.0;
    }
  }
  for (int col = 0; col < 4; ++col) {
    int pivot = col;
    for (int r = col + 1; r < 4; ++r) {
      if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
    }
    if (a[pivot][col] == 0.0) return false;
    for (int c = 0; c < 8; ++c) std::swap(a[col][c], a[pivot][c]);
    const double scale = 1.0 / a[col][col];
    for (int c = 0; c < 8; ++c) a[col][c] *= scale;
    for (int r = 0; r < 4; ++r) {
      if (r == col) continue;
      const double f = a[r][col];
      for (int c = 0; c < 8; ++c) a[r][c] -= f * a[col][c];
    }
  }
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) out[4 * j + i] = a[i][4 + j];
  }
  return true;
}

}  // namespace

extern "C" int gluProject(double objx, double objy, double objz, const double model[16],
                          const double proj[16], const int viewport[4], double* winx, double* winy,
                          double* winz) {
  const double in[4] = {objx, objy, objz, 1.0};
  double eye[4], clip[4];
  transform(eye, model, in);
  transform(clip, proj, eye);
  if (clip[3] == 0.0) return 0;
  *winx = viewport[0] + (1.0 + clip[0] / clip[3]) * viewport[2] / 2.0;
  *winy = viewport[1] + (1.0 + clip[1] / clip[3]) * viewport[3] / 2.0;
  *winz = (1.0 + clip[2] / clip[3]) / 2.0;
  return 1;
}

extern "C" int gluUnProject(double winx, double winy, double winz, const double model[16],
                            const double proj[16], const int viewport[4], double* objx,
                            double* objy, double* objz) {
  double a[16];
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += proj[4 * k + i] * model[4 * j + k];
      a[4 * j + i] = sum;
    }
  }
  double inverse[16];
  if (!invert(a, inverse)) return 0;
  const double in[4] = {(winx - viewport[0]) * 2.0 / viewport[2] - 1.0,
                        (winy - viewport[1]) * 2.0 / viewport[3] - 1.0, 2.0 * winz - 1.0, 1.0};
  double out[4];
  transform(out, inverse, in);
  if (out[3] == 0.0) return 0;
  *objx = out[0] / out[3];
  *objy = out[1] / out[3];
  *objz = out[2] / out[3];
  return 1;
}
