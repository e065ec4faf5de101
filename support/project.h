// Projection of points between object and window coordinates, entirely in single precision.
// C++ linkage on purpose: the exported symbols carry the float parameter lists, so these live
// beside a GL utility library's double-precision functions of the same names without a clash.
#ifndef SKY_SUPPORT_PROJECT_H
#define SKY_SUPPORT_PROJECT_H

// Matrices are 16 floats in column-major order (element (row r, column c) at index 4c + r);
// the viewport is x, y, width, height. Window z is 0 on the near plane and 1 on the far plane.

// Object point -> window point. Returns 1, or 0 when the clip-space w is exactly zero or any
// pointer is null; on 0 the three outputs are left untouched.
int gluProject(float objx, float objy, float objz, const float model[16], const float proj[16],
               const int viewport[4], float* winx, float* winy, float* winz);

// Window point -> object point. Returns 1, or 0 when projection * model-view is singular, the
// resulting w is exactly zero, the viewport has zero width or height, or any pointer is null;
// on 0 the three outputs are left untouched.
int gluUnProject(float winx, float winy, float winz, const float model[16], const float proj[16],
                 const int viewport[4], float* objx, float* objy, float* objz);

#endif
