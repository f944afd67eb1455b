// Real and packed-complex (CCS) transforms on FFTW. The plans of an order are made once,
// on first use or on request, and kept until released; they run on the caller's arrays.
#include "dsp/nsp_fft.h"

#include <fftw3.h>

#include <array>
#include <cstddef>
#include <cstring>
#include <memory>
#include <mutex>
#include <utility>

#include "dsp/nsp_status.h"

namespace {

constexpr const char* kSource = "nspfftd";
constexpr int kHighestOrder = 31;
// Tables above this order would need several gigabytes; they are reported as memory that
// cannot be had rather than risking the planner's own allocation failure.
constexpr int kHighestTableOrder = 27;

// Memory from fftw_malloc, maximally aligned for the vector code.
struct FftwFree {
    void operator()(void* p) const { fftw_free(p); }
};
using FftwBuffer = std::unique_ptr<double, FftwFree>;

FftwBuffer AllocateDoubles(size_t count) {
    return FftwBuffer(static_cast<double*>(fftw_malloc(count * sizeof(double))));
}

// The FFTW planner is not thread-safe: this lock guards every plan creation and
// destruction, and the table of orders below.
std::mutex& PlannerLock() {
    static std::mutex lock;
    return lock;
}

// The two plans of one order: real → CCS and CCS → real, out of place. Plans are made on
// maximally aligned arrays; callers' arrays with another alignment go through scratch.
class OrderPlans {
public:
    // Null when the planning arrays cannot be allocated (after a second attempt).
    static std::shared_ptr<OrderPlans> Create(int order) {
        if (order > kHighestTableOrder) return nullptr;
        const size_t n = size_t{1} << order;
        FftwBuffer real, spectrum;
        for (int attempt = 0; attempt < 2 && (!real || !spectrum); ++attempt) {
            if (!real) real = AllocateDoubles(n);
            if (!spectrum) spectrum = AllocateDoubles(n + 2);
        }
        if (!real || !spectrum) return nullptr;
        auto* complex = reinterpret_cast<fftw_complex*>(spectrum.get());
        const int length = static_cast<int>(n);
        // Held by the caller (PlannerLock) while planning.
        fftw_plan forward = fftw_plan_dft_r2c_1d(length, real.get(), complex, FFTW_ESTIMATE);
        fftw_plan backward = fftw_plan_dft_c2r_1d(length, complex, real.get(), FFTW_ESTIMATE | FFTW_PRESERVE_INPUT);
        if (forward == nullptr || backward == nullptr) {
            if (forward != nullptr) fftw_destroy_plan(forward);
            if (backward != nullptr) fftw_destroy_plan(backward);
            return nullptr;
        }
        return std::shared_ptr<OrderPlans>(new OrderPlans(n, forward, backward));
    }

    ~OrderPlans() {
        std::lock_guard guard(PlannerLock());
        fftw_destroy_plan(m_forward);
        fftw_destroy_plan(m_backward);
    }
    OrderPlans(const OrderPlans&) = delete;
    OrderPlans& operator=(const OrderPlans&) = delete;

    size_t Length() const { return m_length; }

    // out[0 .. n/2] := forward transform of in[0 .. n-1].
    void Forward(const double* in, DCplx* out) const {
        fftw_execute_dft_r2c(m_forward, const_cast<double*>(in), reinterpret_cast<fftw_complex*>(out));
    }
    // out[0 .. n-1] := unscaled inverse of in[0 .. n/2]; the input is preserved.
    void Backward(const DCplx* in, double* out) const {
        fftw_execute_dft_c2r(m_backward, reinterpret_cast<fftw_complex*>(const_cast<DCplx*>(in)), out);
    }

private:
    OrderPlans(size_t n, fftw_plan forward, fftw_plan backward)
        : m_length(n), m_forward(forward), m_backward(backward) {}

    size_t m_length;
    fftw_plan m_forward;
    fftw_plan m_backward;
};

// Plans per order, guarded by PlannerLock(). A transform holds its own reference while it
// runs, so releasing an order never pulls the plans from under another thread.
class PlanTable {
public:
    std::shared_ptr<OrderPlans>& operator[](int order) { return m_plans[order]; }

    // When the module is unloaded (or the process ends) the plans go, and with them the
    // planner's own caches, which would otherwise be lost with the FFTW library: the
    // transforms here are the process's only users of FFTW.
    ~PlanTable() {
        for (auto& plans : m_plans) plans.reset();
        std::lock_guard guard(PlannerLock());
        fftw_cleanup();
    }

private:
    std::array<std::shared_ptr<OrderPlans>, kHighestOrder + 1> m_plans;
};

PlanTable& Plans() {
    // Made after the planner lock, so it is destroyed before it.
    PlannerLock();
    static PlanTable table;
    return table;
}

std::shared_ptr<OrderPlans> FindOrCreatePlans(int order) {
    PlanTable& table = Plans();
    std::lock_guard guard(PlannerLock());
    auto& entry = table[order];
    if (!entry) entry = OrderPlans::Create(order);
    return entry;
}

void ReleasePlans(int order) {
    PlanTable& table = Plans();
    std::shared_ptr<OrderPlans> released;
    {
        std::lock_guard guard(PlannerLock());
        released = std::move(table[order]);
    }
    // The plans are destroyed here (outside the table lock) unless a transform still runs.
}

// Per-thread aligned scratch for arrays FFTW cannot run on directly.
class Scratch {
public:
    double* Get(size_t count) {
        if (count > m_capacity) {
            m_buffer = AllocateDoubles(count);
            m_capacity = m_buffer ? count : 0;
        }
        return m_buffer.get();
    }

private:
    FftwBuffer m_buffer;
    size_t m_capacity = 0;
};

thread_local Scratch t_inputScratch;
thread_local Scratch t_outputScratch;

bool Overlap(const void* a, size_t aBytes, const void* b, size_t bBytes) {
    const auto* pa = static_cast<const std::byte*>(a);
    const auto* pb = static_cast<const std::byte*>(b);
    return pa < pb + bBytes && pb < pa + aBytes;
}

// FFTW runs on the caller's arrays when they are aligned like the planning arrays and
// separate; otherwise the data goes through scratch.
bool RunsOnCallerArrays(const void* in, size_t inBytes, void* out, size_t outBytes) {
    return fftw_alignment_of(static_cast<double*>(const_cast<void*>(in))) == 0 &&
           fftw_alignment_of(static_cast<double*>(out)) == 0 && !Overlap(in, inBytes, out, outBytes);
}

// Checks the arguments common to both transforms and handles the table requests.
// Returns the plans when a transform is to run, null when the call is complete.
std::shared_ptr<OrderPlans> Prepare(const char* function, const void* in, const void* out, int order, int flags) {
    const char* message = nullptr;
    if (order < 0)
        message = "order<0";
    else if (order > kHighestOrder)
        message = "order>31";
    if (message != nullptr) {
        nspError(NSP_StsBadArg, function, message, kSource, __LINE__);
        return nullptr;
    }
    if (flags & NSP_Free) {
        ReleasePlans(order);
        return nullptr;
    }
    if (!(flags & NSP_Init)) {
        if (in == nullptr)
            message = "inSamps==0";
        else if (out == nullptr)
            message = "outSamps==0";
        else if ((flags & NSP_Forw) && (flags & NSP_Inv))
            message = "(flags & 1) && (flags & 2)";
        else if ((flags & NSP_Forw) == 0 && (flags & NSP_Inv) == 0)
            message = "(flags & 1)==0 && (flags & 2)==0";
        if (message != nullptr) {
            nspError(NSP_StsBadArg, function, message, kSource, __LINE__);
            return nullptr;
        }
    }
    std::shared_ptr<OrderPlans> plans = FindOrCreatePlans(order);
    if (!plans) {
        nspError(NSP_StsNoMem, function, "No working Twd memory", kSource, __LINE__);
        return nullptr;
    }
    if (flags & NSP_Init) return nullptr;
    return plans;
}

// A transform's arrays in the per-thread scratch: the input copied in, room for the output.
struct ScratchArrays {
    double* in;
    double* out;
};

// Both null, reported as missing memory, when the scratch cannot be had.
ScratchArrays CopyIntoScratch(const char* function, const void* input, size_t inDoubles, size_t outDoubles) {
    const ScratchArrays scratch{t_inputScratch.Get(inDoubles), t_outputScratch.Get(outDoubles)};
    if (scratch.in == nullptr || scratch.out == nullptr) {
        nspError(NSP_StsNoMem, function, "No working Twd memory", kSource, __LINE__);
        return {nullptr, nullptr};
    }
    std::memcpy(scratch.in, input, inDoubles * sizeof(double));
    return scratch;
}

void ScaleBy(double factor, double* data, size_t count) {
    for (size_t k = 0; k < count; ++k) data[k] *= factor;
}

void Conjugate(DCplx* data, size_t count) {
    for (size_t k = 0; k < count; ++k) data[k].im = -data[k].im;
}

}  // namespace

void nspdRealFftNip(const double* inSamps, DCplx* outSamps, int order, int flags) {
    const std::shared_ptr<OrderPlans> plans = Prepare("nspdRealFftNip", inSamps, outSamps, order, flags);
    if (!plans) return;
    const size_t n = plans->Length();
    const size_t bins = n / 2 + 1;
    const size_t inBytes = n * sizeof(double), outBytes = bins * sizeof(DCplx);
    if (RunsOnCallerArrays(inSamps, inBytes, outSamps, outBytes)) {
        plans->Forward(inSamps, outSamps);
    } else {
        const ScratchArrays scratch = CopyIntoScratch("nspdRealFftNip", inSamps, n, n + 2);
        if (scratch.in == nullptr) return;
        auto* out = reinterpret_cast<DCplx*>(scratch.out);
        plans->Forward(scratch.in, out);
        std::memcpy(outSamps, out, outBytes);
    }
    if (flags & NSP_Inv) {
        // The positive exponent gives the conjugate of the forward spectrum.
        Conjugate(outSamps, bins);
        if (!(flags & NSP_NoScale)) ScaleBy(1.0 / static_cast<double>(n), &outSamps[0].re, 2 * bins);
    }
}

void nspdCcsFftNip(const DCplx* inSamps, double* outSamps, int order, int flags) {
    const std::shared_ptr<OrderPlans> plans = Prepare("nspdCcsFftNip", inSamps, outSamps, order, flags);
    if (!plans) return;
    const size_t n = plans->Length();
    const size_t bins = n / 2 + 1;
    const size_t inBytes = bins * sizeof(DCplx), outBytes = n * sizeof(double);
    const bool forward = (flags & NSP_Forw) != 0;
    if (!forward && RunsOnCallerArrays(inSamps, inBytes, outSamps, outBytes)) {
        plans->Backward(inSamps, outSamps);
    } else {
        const ScratchArrays scratch = CopyIntoScratch("nspdCcsFftNip", inSamps, n + 2, n);
        if (scratch.in == nullptr) return;
        auto* in = reinterpret_cast<DCplx*>(scratch.in);
        // The negative exponent over a conjugate-symmetric spectrum equals the positive
        // exponent over its conjugate.
        if (forward) Conjugate(in, bins);
        plans->Backward(in, scratch.out);
        std::memcpy(outSamps, scratch.out, outBytes);
    }
    if (!forward && !(flags & NSP_NoScale)) ScaleBy(1.0 / static_cast<double>(n), outSamps, n);
}
