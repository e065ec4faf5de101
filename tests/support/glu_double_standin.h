// Double-precision gluProject / gluUnProject with C linkage, declared as a GL utility library
// declares them. Our own stand-in (never a real library): the link test puts it in one program
// with the float versions, and the benchmark uses it as the double-precision baseline.
#ifndef SKY_TESTS_GLU_DOUBLE_STANDIN_H
#define SKY_TESTS_GLU_DOUBLE_STANDIN_H

extern "C" {
int gluProject(double objx, double objy, double objz, const double model[16], const double proj[16],
               const int viewport[4], double* winx, double* winy, double* winz);
int gluUnProject(double winx, double winy, double winz, const double model[16],
                 const double proj[16], const int viewport[4], double* objx, double* objy,
                 double* objz);
}

#endif
