// Vector arithmetic on float, double and complex double arrays. A bad argument (n < 1, a
// null array) is reported through nspError (dsp/nsp_status.h) and leaves dst unchanged.
#pragma once

struct DCplx {
    double re;
    double im;
};
static_assert(sizeof(DCplx) == 16);

// dst[k] *= val for k < n.
void nspsbMpy1(float val, float* dst, int n);
void nspdbMpy1(double val, double* dst, int n);
// dst[k] += src[k] for k < n.
void nspdbAdd2(const double* src, double* dst, int n);
// dst[k] := dst[k] * src[k] (complex product) for k < n.
void nspzbMpy2(const DCplx* src, DCplx* dst, int n);
