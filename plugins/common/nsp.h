// Signal-processing primitives: vector arithmetic and real/packed-complex Fourier transforms
// with a process-wide error status. Free of Qt; compiled into the plug-ins and the program.
//
// A primitive that finds a bad argument leaves its output unchanged, stores the status and
// reports it to the error handler (function, message, source "nsparith" or "nspfftd", line).
#pragma once

#include <cstdint>

// ---- status -----------------------------------------------------------------------------

inline constexpr int NSP_StsOk = 0;
inline constexpr int NSP_StsBackTrace = -1;
inline constexpr int NSP_StsInternal = -3;
inline constexpr int NSP_StsNoMem = -4;
inline constexpr int NSP_StsBadArg = -5;
inline constexpr int NSP_StsBadFunc = -6;
inline constexpr int NSP_StsNoConv = -7;
inline constexpr int NSP_StsAutoTrace = -8;
inline constexpr int NSP_StsNullPtr = -10;
inline constexpr int NSP_StsBadPtr = -12;
inline constexpr int NSP_StsBadStruct = -13;
inline constexpr int NSP_StsBadLen = -14;

// Error modes: the handler is called in every mode but the silent one.
inline constexpr int NSP_ErrModeLeaf = 0;
inline constexpr int NSP_ErrModeParent = 1;
inline constexpr int NSP_ErrModeSilent = 2;

// Called for each report: status, reporting function, message, source name, line.
typedef int (*NSPErrorCallBack)(int status, const char* funcName, const char* message, const char* sourceName,
                                int line);

int nspGetErrStatus();
void nspSetErrStatus(int status);
int nspGetErrMode();
void nspSetErrMode(int mode);
// Installs a handler (null restores the default, which only keeps the status) and
// returns the previous one.
NSPErrorCallBack nspRedirectError(NSPErrorCallBack handler);
// The fixed text of a status code.
const char* nspErrorStr(int status);
// Stores the status (except the trace codes -1 and -8) and calls the handler.
int nspError(int status, const char* funcName, const char* message, const char* sourceName, int line);

// ---- vectors ----------------------------------------------------------------------------

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

// ---- transforms -------------------------------------------------------------------------
// Length N = 2^order, order 0 ... 31. A CCS spectrum holds bins 0 ... N/2 (N/2 + 1 complex
// values, N + 2 doubles); the imaginary parts of bins 0 and N/2 are 0.
// Forward:  X[k] = sum x[n] e^(-2 pi i k n / N), unscaled.
// Inverse:  x[n] = 1/N sum X[k] e^(+2 pi i k n / N) over the conjugate-symmetric spectrum.

inline constexpr int NSP_Forw = 1;     // forward transform
inline constexpr int NSP_Inv = 2;      // inverse transform
inline constexpr int NSP_Init = 4;     // only prepare the tables of the order
inline constexpr int NSP_Free = 8;     // release the tables of the order
inline constexpr int NSP_NoScale = 16; // leave out the 1/N of the inverse

// Real sequence of N doubles to its CCS spectrum (forward; with NSP_Inv the scaled
// transform with the positive exponent).
void nspdRealFftNip(const double* inSamps, DCplx* outSamps, int order, int flags);
// CCS spectrum to the real sequence of N doubles (inverse; with NSP_Forw the unscaled
// transform with the negative exponent).
void nspdCcsFftNip(const DCplx* inSamps, double* outSamps, int order, int flags);
