// Vector arithmetic on float, double and complex double arrays. Plain loops the compiler
// vectorises; element order does not change any result.
#include "dsp/nsp_vector.h"

#include "dsp/nsp_status.h"

namespace {

constexpr const char* kSource = "nsparith";

// Reports the first bad argument; true when all are good.
bool CheckArgs(const char* function, int line, int n, const void* dst, const void* src, bool hasSource) {
    const char* message = nullptr;
    if (n < 1)
        message = "n<=0";
    else if (dst == nullptr)
        message = "dst==0";
    else if (hasSource && src == nullptr)
        message = "src==0";
    if (message == nullptr) return true;
    nspError(NSP_StsBadArg, function, message, kSource, line);
    return false;
}

void ScaleFloats(float val, float* dst, int n) {
    for (int k = 0; k < n; ++k) dst[k] *= val;
}

void ScaleDoubles(double val, double* dst, int n) {
    for (int k = 0; k < n; ++k) dst[k] *= val;
}

void AddDoubles(const double* src, double* dst, int n) {
    for (int k = 0; k < n; ++k) dst[k] += src[k];
}

void MultiplyComplex(const DCplx* src, DCplx* dst, int n) {
    for (int k = 0; k < n; ++k) {
        const double a = dst[k].re, b = dst[k].im;
        const double p = src[k].re, q = src[k].im;
        dst[k].re = a * p - b * q;
        dst[k].im = a * q + b * p;
    }
}

}  // namespace

void nspsbMpy1(float val, float* dst, int n) {
    if (CheckArgs("nspsbMpy1", __LINE__, n, dst, nullptr, false)) ScaleFloats(val, dst, n);
}

void nspdbMpy1(double val, double* dst, int n) {
    if (CheckArgs("nspdbMpy1", __LINE__, n, dst, nullptr, false)) ScaleDoubles(val, dst, n);
}

void nspdbAdd2(const double* src, double* dst, int n) {
    if (CheckArgs("nspdbAdd2", __LINE__, n, dst, src, true)) AddDoubles(src, dst, n);
}

void nspzbMpy2(const DCplx* src, DCplx* dst, int n) {
    if (CheckArgs("nspzbMpy2", __LINE__, n, dst, src, true)) MultiplyComplex(src, dst, n);
}
