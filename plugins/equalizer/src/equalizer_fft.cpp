// The per-channel engine: filter design from the band gains and block convolution.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "dsp/nsp_fft.h"
#include "plugins/equalizer/equalizer.h"

namespace {

// A band cannot be set below -100 dB or above +100 dB: the design works with logarithms
// of the gains, which a zero or negative stored gain would make meaningless.
constexpr double kLowestGain = 1e-5;
constexpr double kHighestGain = 1e5;

double UsableGain(double gain) {
    if (!(gain >= kLowestGain)) return kLowestGain;  // also catches NaN
    return std::min(gain, kHighestGain);
}

// The design bin of a band edge: its place among the 4096 design bins, at most half the rate.
int DesignBin(int edgeHz, double sampleRate) {
    return static_cast<int>(std::floor(std::min(edgeHz / sampleRate, 0.5) * 4096.0));
}

}  // namespace

CEqualizerFFT::CEqualizerFFT()
    : m_inputRing(kBlock, 0.0),
      m_outputRing(kBlock, 0.0),
      m_work(2 * kBlock, 0.0),
      m_blockSpectrum(kBins, DCplx{0.0, 0.0}),
      m_filterSpectrum(kBins, DCplx{0.0, 0.0}),
      m_overlapTail(kBlock, 0.0),
      m_designSpectrum(kDesignBins, DCplx{0.0, 0.0}) {
    m_gains.fill(1.0);
}

void CEqualizerFFT::Open(const WAVEFORMATEX& format) {
    CBaseEffect::Open(format);
    m_position = 0;
    std::fill(m_inputRing.begin(), m_inputRing.end(), 0.0);
    std::fill(m_outputRing.begin(), m_outputRing.end(), 0.0);
    std::fill(m_overlapTail.begin(), m_overlapTail.end(), 0.0);
    std::fill(m_work.begin(), m_work.end(), 0.0);
    m_primed = false;
}

void CEqualizerFFT::SetGains(std::span<const double, kEqualizerBands> gains) {
    std::copy(gains.begin(), gains.end(), m_gains.begin());
    DesignFilter();
}

std::span<const DCplx, CEqualizerFFT::kDesignBins> CEqualizerFFT::DesignSpectrum() const {
    return std::span<const DCplx, kDesignBins>(m_designSpectrum.data(), kDesignBins);
}

std::span<const DCplx, CEqualizerFFT::kBins> CEqualizerFFT::FilterSpectrum() const {
    return std::span<const DCplx, kBins>(m_filterSpectrum.data(), kBins);
}

// The gains become a magnitude curve over the design bins: flat at g0 up to 31 Hz, then in
// each band a raised-cosine blend in the logarithmic domain from the previous band's gain to
// this band's, over a bin axis warped logarithmically; zero from 22000 Hz up. Its inverse
// transform, rotated by half its length, is a causal linear-phase response of 4096 taps,
// whose transform at twice the length is the filter.
void CEqualizerFFT::DesignFilter() {
    std::fill(m_filterSpectrum.begin(), m_filterSpectrum.end(), DCplx{0.0, 0.0});
    std::fill(m_designSpectrum.begin(), m_designSpectrum.end(), DCplx{0.0, 0.0});
    const double sampleRate = static_cast<double>(m_sampleRate);
    for (int band = 0; band < kEqualizerBands; ++band) {
        const int m = DesignBin(kBandEdges[band], sampleRate);
        const int w = DesignBin(kBandEdges[band + 1], sampleRate);
        const double width = (w - m) != 0 ? static_cast<double>(w - m) : 1.0;
        const double logStart = std::log(UsableGain(m_gains[band == 0 ? 0 : band - 1]));
        const double logEnd = std::log(UsableGain(m_gains[band]));
        const double e = std::exp(2.0 * m / 2049.0);
        const double f = std::exp(2.0 * w / 2049.0);
        for (int j = m; j < w; ++j) {
            const double q = std::log((j - m) * (f - e) / width + e);
            const double u = std::cos(((q * 2049.0 / 2.0) - m + 1.0) / width * std::numbers::pi);
            m_designSpectrum[j] = {std::exp((u + 1.0) * (logStart - logEnd) / 2.0 + logEnd), 0.0};
        }
    }
    std::vector<double> response(kBlock);
    nspdCcsFftNip(m_designSpectrum.data(), response.data(), kDesignOrder, NSP_Inv);
    std::vector<double> causal(2 * kBlock, 0.0);
    constexpr uint32_t half = kBlock / 2;
    std::copy(response.begin() + half, response.end(), causal.begin());
    std::copy(response.begin(), response.begin() + half, causal.begin() + half);
    nspdRealFftNip(causal.data(), m_filterSpectrum.data(), kOrder, NSP_Forw);
}

void CEqualizerFFT::Process(_SOUNDDATAEX_& record) {
    if (record.channels.empty()) return;
    ProcessSamples(record.channels[0], record.capacity);
}

void CEqualizerFFT::ProcessSamples(float* samples, uint32_t count) {
    while (count > 0) {
        const uint32_t run = std::min(count, kBlock - m_position);
        // Two loops: the rings are separate arrays, and each loop vectorises on its own.
        double* input = m_inputRing.data() + m_position;
        const double* output = m_outputRing.data() + m_position;
        for (uint32_t k = 0; k < run; ++k) input[k] = samples[k];
        for (uint32_t k = 0; k < run; ++k) samples[k] = static_cast<float>(output[k]);
        samples += run;
        count -= run;
        m_position += run;
        if (m_position == kBlock) {
            m_position = 0;
            ConvolveBlock();
        }
    }
}

// Overlap-add: the block padded to twice its length, multiplied by H in the frequency
// domain; the first half plus the previous tail is the next output, the second half the
// new tail.
void CEqualizerFFT::ConvolveBlock() {
    std::copy(m_inputRing.begin(), m_inputRing.end(), m_work.begin());
    std::fill(m_work.begin() + kBlock, m_work.end(), 0.0);
    nspdRealFftNip(m_work.data(), m_blockSpectrum.data(), kOrder, NSP_Forw);
    nspzbMpy2(m_filterSpectrum.data(), m_blockSpectrum.data(), kBins);
    nspdCcsFftNip(m_blockSpectrum.data(), m_work.data(), kOrder, NSP_Inv);
    nspdbAdd2(m_overlapTail.data(), m_work.data(), kBlock);
    std::copy(m_work.begin(), m_work.begin() + kBlock, m_outputRing.begin());
    std::copy(m_work.begin() + kBlock, m_work.end(), m_overlapTail.begin());
    m_primed = true;
}
