// Real and packed-complex (CCS) Fourier transforms on FFTW. Length N = 2^order, order
// 0 ... 31. A CCS spectrum holds bins 0 ... N/2 (N/2 + 1 complex values, N + 2 doubles); the
// imaginary parts of bins 0 and N/2 are 0.
// Forward:  X[k] = sum x[n] e^(-2 pi i k n / N), unscaled.
// Inverse:  x[n] = 1/N sum X[k] e^(+2 pi i k n / N) over the conjugate-symmetric spectrum.
// Bad arguments and tables that cannot be had are reported through nspError
// (dsp/nsp_status.h).
#pragma once

#include "dsp/nsp_vector.h"

inline constexpr int NSP_Forw = 1;      // forward transform
inline constexpr int NSP_Inv = 2;       // inverse transform
inline constexpr int NSP_Init = 4;      // only prepare the tables of the order
inline constexpr int NSP_Free = 8;      // release the tables of the order
inline constexpr int NSP_NoScale = 16;  // leave out the 1/N of the inverse

// Real sequence of N doubles to its CCS spectrum (forward; with NSP_Inv the scaled
// transform with the positive exponent).
void nspdRealFftNip(const double* inSamps, DCplx* outSamps, int order, int flags);
// CCS spectrum to the real sequence of N doubles (inverse; with NSP_Forw the unscaled
// transform with the negative exponent).
void nspdCcsFftNip(const DCplx* inSamps, double* outSamps, int order, int flags);
