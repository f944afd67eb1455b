// The swept second-order filter with its optional level correction.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "plugins/wahwah/wahwah.h"

namespace {

constexpr double kLowestCentre = 10.0;  // Hz
// The band-pass angle stops at 2π / 4.4, the angle of a centre at a 4.4th of the rate.
constexpr double kHighestBandPassAngle = 1.427996660722633;
constexpr double kAttackMs = 30.0;
constexpr double kReleaseMs = 300.0;
constexpr int64_t kLongestSweep = std::numeric_limits<int32_t>::max();

// Envelope factor that covers 99 % of a step in the given time.
double EnvelopeFactor(double sampleRate, double milliseconds) {
    return std::exp(std::log(0.01) / (sampleRate * milliseconds * 0.001));
}

// Filter histories and envelopes decay toward zero in silence and would otherwise linger in
// the denormal range, where arithmetic is many times slower. Below this (about −600 dB)
// they are taken as 0.
constexpr double kNegligible = 1e-30;

double Flushed(double value) { return std::abs(value) < kNegligible ? 0.0 : value; }

// A border that is no positive finite number (it would break the logarithmic sweep) is
// taken as the lowest centre frequency.
double UsableBorder(double hz) { return hz > 0.0 && std::isfinite(hz) ? hz : kLowestCentre; }

// The band width stays above zero and below half the rate so the filter stays stable.
double UsableBandWidth(double hz, double sampleRate) {
    if (!(hz >= 1.0)) return 1.0;
    return std::min(hz, 0.45 * sampleRate);
}

}  // namespace

CEffectWahWah::CEffectWahWah()
    : m_attack(EnvelopeFactor(kWorkingRate, kAttackMs)), m_release(EnvelopeFactor(kWorkingRate, kReleaseMs)) {
    DeriveConstants();
}

void CEffectWahWah::SetParameters(const WahWahParameters& parameters) {
    m_parameters = parameters;
    m_parameters.lowerBorder = UsableBorder(parameters.lowerBorder);
    m_parameters.upperBorder = UsableBorder(parameters.upperBorder);
    DeriveConstants();
}

// What the per-sample work needs of the parameters and the rate, worked out once.
void CEffectWahWah::DeriveConstants() {
    const double sampleRate = static_cast<double>(m_sampleRate);
    m_logLower = std::log(m_parameters.lowerBorder);
    m_logUpper = std::log(m_parameters.upperBorder);
    m_bandWidth = UsableBandWidth(m_parameters.bandWidth, sampleRate);
    m_rejectTangent = std::tan(std::numbers::pi * m_bandWidth / sampleRate);
}

// N = ⌈fs / speed⌉ samples from one border to the other, at least 2 so that the sweep
// has two ends; a speed that is no positive number (or so small that the sweep would last
// longer than kLongestSweep, some 13 hours) takes the longest sweep.
void CEffectWahWah::Open(const WAVEFORMATEX& format) {
    CBaseEffect::Open(format);
    const double sampleRate = static_cast<double>(m_sampleRate);
    const double samplesPerSweep = std::ceil(sampleRate / m_parameters.speed);
    if (m_parameters.speed > 0.0 && samplesPerSweep < static_cast<double>(kLongestSweep))
        m_sweepLength = std::max<int64_t>(2, static_cast<int64_t>(samplesPerSweep));
    else
        m_sweepLength = kLongestSweep;
    m_position = 0;
    m_direction = 1;
    m_attack = EnvelopeFactor(sampleRate, kAttackMs);
    m_release = EnvelopeFactor(sampleRate, kReleaseMs);
    m_channels.fill(ChannelState{});
    DeriveConstants();
}

double CEffectWahWah::CentreFrequency() const {
    const double lower = m_parameters.lowerBorder, upper = m_parameters.upperBorder;
    const double fraction = static_cast<double>(m_position) / static_cast<double>(m_sweepLength - 1);
    double centre = m_parameters.logarithmic != 0 ? std::exp(m_logLower + (m_logUpper - m_logLower) * fraction)
                                                  : lower + (upper - lower) * fraction;
    const double sampleRate = static_cast<double>(m_sampleRate);
    if (centre > sampleRate / 2.2) centre = sampleRate / 2.2;
    if (centre < kLowestCentre) centre = kLowestCentre;
    return centre;
}

void CEffectWahWah::UpdateCoefficients(double centre) {
    const double sampleRate = static_cast<double>(m_sampleRate);
    if (m_parameters.kind != 1) {
        const double t = m_rejectTangent;
        const double cw = std::cos(2.0 * std::numbers::pi * centre / sampleRate);
        m_b0 = m_b2 = 1.0 / (1.0 + t);
        m_b1 = m_a1 = -2.0 * cw / (1.0 + t);
        m_a2 = (1.0 - t) / (1.0 + t);
    } else {
        const double omega = std::min(2.0 * std::numbers::pi * centre / sampleRate, kHighestBandPassAngle);
        const double q = centre / m_bandWidth;
        const double alpha = std::sin(omega) / (2.0 * q);
        m_b0 = alpha / (1.0 + alpha);
        m_b1 = 0.0;
        m_b2 = -alpha / (1.0 + alpha);
        m_a1 = -2.0 * std::cos(omega) / (1.0 + alpha);
        m_a2 = (1.0 - alpha) / (1.0 + alpha);
    }
}

// There and back: the position runs 0 … N−1, then N−2 … 0, then 1 … and so on.
void CEffectWahWah::AdvanceSweep() {
    m_position += m_direction;
    if (m_position >= m_sweepLength) {
        m_direction = -1;
        m_position = m_sweepLength - 2;
    }
    if (m_position < 0) {
        m_direction = 1;
        m_position = 1;
    }
}

void CEffectWahWah::Process(_SOUNDDATAEX_& record) {
    const size_t channels = std::min<size_t>(record.channels.size(), kWahWahMaxChannels);
    const bool normalize = m_parameters.normalize != 0;
    for (uint32_t k = 0; k < record.capacity; ++k) {
        UpdateCoefficients(CentreFrequency());
        for (size_t channel = 0; channel < channels; ++channel) {
            ChannelState& state = m_channels[channel];
            const double x = record.channels[channel][k];
            double y = m_b0 * x + m_b1 * state.x1 + m_b2 * state.x2 - m_a1 * state.y1 - m_a2 * state.y2;
            state.x2 = state.x1;
            state.x1 = x;
            state.y2 = state.y1;
            state.y1 = Flushed(y);
            if (normalize) {
                const double level = std::abs(x), filtered = std::abs(y);
                state.inputEnvelope = Flushed(level + (state.inputEnvelope - level) *
                                                          (level > state.inputEnvelope ? m_attack : m_release));
                state.outputEnvelope = Flushed(filtered + (state.outputEnvelope - filtered) *
                                                              (filtered > state.outputEnvelope ? m_attack : m_release));
                // An output envelope of 0 means the output is next to 0 too: nothing to correct.
                if (state.outputEnvelope > 0.0) y = state.inputEnvelope * y / state.outputEnvelope;
            }
            record.channels[channel][k] = static_cast<float>(y);
        }
        AdvanceSweep();
    }
}
