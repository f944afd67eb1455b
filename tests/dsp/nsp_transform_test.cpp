// Transforms: known spectra, round trips against a direct DFT, both directions, scaling,
// unaligned and overlapping arrays, table requests and concurrent use.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <thread>
#include <vector>

#include "dsp/nsp_fft.h"
#include "dsp/nsp_status.h"

namespace {

std::vector<double> RandomSignal(size_t n, unsigned seed) {
    std::mt19937 generator(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<double> signal(n);
    for (double& x : signal) x = uniform(generator);
    return signal;
}

// X[k] = sum x[n] e^(-2 pi i k n / N) for k = 0 ... N/2, computed directly.
std::vector<DCplx> DirectSpectrum(const std::vector<double>& x) {
    const size_t n = x.size();
    std::vector<DCplx> spectrum(n / 2 + 1);
    for (size_t k = 0; k <= n / 2; ++k) {
        long double re = 0, im = 0;
        for (size_t j = 0; j < n; ++j) {
            const long double angle =
                -2.0L * std::numbers::pi_v<long double> * static_cast<long double>((k * j) % n) / n;
            re += x[j] * std::cos(angle);
            im += x[j] * std::sin(angle);
        }
        spectrum[k] = {static_cast<double>(re), static_cast<double>(im)};
    }
    return spectrum;
}

TEST(NspTransform, ForwardOfImpulseIsFlatAndInverseGivesItBack) {
    constexpr int order = 13;
    constexpr size_t n = size_t{1} << order;
    std::vector<double> impulse(n, 0.0);
    impulse[0] = 1.0;
    std::vector<DCplx> spectrum(n / 2 + 1, DCplx{-7.0, -7.0});
    nspdRealFftNip(impulse.data(), spectrum.data(), order, NSP_Forw);
    for (const DCplx& bin : spectrum) {
        ASSERT_DOUBLE_EQ(bin.re, 1.0);
        ASSERT_DOUBLE_EQ(bin.im, 0.0);
    }
    std::vector<double> back(n, -7.0);
    nspdCcsFftNip(spectrum.data(), back.data(), order, NSP_Inv);
    EXPECT_NEAR(back[0], 1.0, 1e-15);
    for (size_t k = 1; k < n; ++k) ASSERT_NEAR(back[k], 0.0, 1e-15) << k;

    nspdCcsFftNip(spectrum.data(), back.data(), order, NSP_Inv | NSP_NoScale);
    EXPECT_NEAR(back[0], static_cast<double>(n), 1e-9);
    for (size_t k = 1; k < n; ++k) ASSERT_NEAR(back[k], 0.0, 1e-9) << k;
}

TEST(NspTransform, ForwardMatchesDirectTransformForEveryOrderUpTo9) {
    for (int order = 0; order <= 9; ++order) {
        const size_t n = size_t{1} << order;
        const std::vector<double> x = RandomSignal(n, 11 + order);
        const std::vector<DCplx> expected = DirectSpectrum(x);
        std::vector<DCplx> actual(n / 2 + 1);
        nspdRealFftNip(x.data(), actual.data(), order, NSP_Forw);
        for (size_t k = 0; k <= n / 2; ++k) {
            ASSERT_NEAR(actual[k].re, expected[k].re, 1e-11) << "order " << order << " bin " << k;
            ASSERT_NEAR(actual[k].im, expected[k].im, 1e-11) << "order " << order << " bin " << k;
        }
        EXPECT_EQ(actual[0].im, 0.0);
        EXPECT_EQ(actual[n / 2].im, 0.0);
    }
}

TEST(NspTransform, RoundTripRestoresTheSignalAtTheEqualizerOrders) {
    for (int order : {1, 2, 12, 13, 16}) {
        const size_t n = size_t{1} << order;
        const std::vector<double> x = RandomSignal(n, 5 + order);
        std::vector<DCplx> spectrum(n / 2 + 1);
        std::vector<double> back(n);
        nspdRealFftNip(x.data(), spectrum.data(), order, NSP_Forw);
        nspdCcsFftNip(spectrum.data(), back.data(), order, NSP_Inv);
        for (size_t k = 0; k < n; ++k) ASSERT_NEAR(back[k], x[k], 1e-13) << "order " << order << " index " << k;
    }
}

TEST(NspTransform, OtherDirectionsAreTheConjugateAndUnscaledCounterparts) {
    constexpr int order = 6;
    constexpr size_t n = 64;
    const std::vector<double> x = RandomSignal(n, 3);
    std::vector<DCplx> forward(n / 2 + 1), inverse(n / 2 + 1);
    nspdRealFftNip(x.data(), forward.data(), order, NSP_Forw);
    nspdRealFftNip(x.data(), inverse.data(), order, NSP_Inv);
    for (size_t k = 0; k <= n / 2; ++k) {
        EXPECT_NEAR(inverse[k].re, forward[k].re / n, 1e-15);
        EXPECT_NEAR(inverse[k].im, -forward[k].im / n, 1e-15);
    }
    // A forward CCS transform of the conjugate spectrum, then the scaled real inverse:
    // applying forward twice to a real sequence gives N x[-n].
    std::vector<double> twice(n);
    nspdCcsFftNip(forward.data(), twice.data(), order, NSP_Forw);
    for (size_t k = 0; k < n; ++k) EXPECT_NEAR(twice[k], n * x[(n - k) % n], 1e-11) << k;
}

TEST(NspTransform, UnalignedAndOverlappingArraysGiveTheSameResult) {
    constexpr int order = 10;
    constexpr size_t n = 1024;
    const std::vector<double> x = RandomSignal(n, 9);
    std::vector<DCplx> reference(n / 2 + 1);
    nspdRealFftNip(x.data(), reference.data(), order, NSP_Forw);

    // Input starting 8 bytes off the usual alignment.
    std::vector<double> shifted(n + 1);
    std::copy(x.begin(), x.end(), shifted.begin() + 1);
    std::vector<DCplx> spectrum(n / 2 + 1);
    nspdRealFftNip(shifted.data() + 1, spectrum.data(), order, NSP_Forw);
    for (size_t k = 0; k <= n / 2; ++k) ASSERT_EQ(spectrum[k].re, reference[k].re);

    // In place: the spectrum written over its own input (N + 2 doubles).
    std::vector<double> shared(n + 2);
    std::copy(x.begin(), x.end(), shared.begin());
    nspdRealFftNip(shared.data(), reinterpret_cast<DCplx*>(shared.data()), order, NSP_Forw);
    for (size_t k = 0; k <= n / 2; ++k) {
        ASSERT_EQ(shared[2 * k], reference[k].re);
        ASSERT_EQ(shared[2 * k + 1], reference[k].im);
    }
    nspdCcsFftNip(reinterpret_cast<DCplx*>(shared.data()), shared.data(), order, NSP_Inv);
    for (size_t k = 0; k < n; ++k) ASSERT_NEAR(shared[k], x[k], 1e-14);
}

TEST(NspTransform, TablesCanBePreparedReleasedAndMadeAgain) {
    constexpr int order = 11;
    constexpr size_t n = 2048;
    nspSetErrStatus(NSP_StsOk);
    double dummy = 0;
    nspdRealFftNip(nullptr, nullptr, order, NSP_Forw | NSP_Init);
    nspdRealFftNip(&dummy, nullptr, order, NSP_Free);
    EXPECT_EQ(nspGetErrStatus(), NSP_StsOk);
    const std::vector<double> x = RandomSignal(n, 21);
    std::vector<DCplx> spectrum(n / 2 + 1);
    std::vector<double> back(n);
    nspdRealFftNip(x.data(), spectrum.data(), order, NSP_Forw);
    nspdCcsFftNip(spectrum.data(), back.data(), order, NSP_Inv);
    for (size_t k = 0; k < n; ++k) ASSERT_NEAR(back[k], x[k], 1e-13);
    EXPECT_EQ(nspGetErrStatus(), NSP_StsOk);
}

// Threads transform while another releases and remakes the tables of the same order.
TEST(NspTransform, ConcurrentTransformsAndReleasesStayCorrect) {
    constexpr int order = 12;
    constexpr size_t n = 4096;
    const std::vector<double> x = RandomSignal(n, 33);
    std::vector<std::thread> threads;
    std::vector<double> worst(3, 0.0);
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&, t] {
            std::vector<DCplx> spectrum(n / 2 + 1);
            std::vector<double> back(n);
            for (int round = 0; round < 60; ++round) {
                nspdRealFftNip(x.data(), spectrum.data(), order, NSP_Forw);
                nspdCcsFftNip(spectrum.data(), back.data(), order, NSP_Inv);
                for (size_t k = 0; k < n; ++k) worst[t] = std::max(worst[t], std::abs(back[k] - x[k]));
            }
        });
    }
    for (int round = 0; round < 60; ++round) nspdRealFftNip(nullptr, nullptr, order, NSP_Free);
    for (std::thread& thread : threads) thread.join();
    for (double error : worst) EXPECT_LT(error, 1e-13);
}

}  // namespace
