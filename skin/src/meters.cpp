// Progress bars and level meters.
#include "skin/meters.h"

#include <cmath>
#include <cstring>

#include <QDateTime>
#include <QPainter>

#include "skin/skin_base.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "skin/src/skin_private.h"

namespace {

constexpr float kFloorDb = -60.0f;
constexpr float kDecayPerMs = 24.0f / 60.0f / 1000.0f;  // 24 dB per second on a 60 dB scale
constexpr int kMeterIntervalMs = 33;
constexpr float kHotLevel = 0.9f;  // above -6 dB

void PaintBar(QPainter& painter, const QRectF& track, double fraction, bool vertical, const QColor& fill) {
    const qreal radius = std::min(track.width(), track.height()) / 2.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(SkinPaletteColor(SKINCOLOR_HOVER).darker(104));
    painter.drawRoundedRect(track, radius, radius);
    if (fraction <= 0.0) return;
    QRectF part = track;
    if (vertical)
        part.setTop(track.bottom() - track.height() * fraction);
    else
        part.setWidth(std::max(track.width() * fraction, std::min(track.width(), track.height())));
    painter.setBrush(fill);
    painter.drawRoundedRect(part, radius, radius);
}

}  // namespace

// ---- CSCProgress / CSCScaleProgress -------------------------------------------------------

CSCProgress::CSCProgress(QWidget* parent, int windowId, uint32_t style) : CSkinBase(parent, windowId, style) {
    setFocusPolicy(Qt::NoFocus);
}

CSCProgress::~CSCProgress() = default;

void CSCProgress::SetRange(int low, int high) {
    m_low = low;
    m_high = std::max(low, high);
    SetPos(m_pos);
}

void CSCProgress::SetPos(int position) {
    const int clamped = std::clamp(position, m_low, m_high);
    if (clamped == m_pos) return;
    m_pos = clamped;
    update();
}

double CSCProgress::Fraction() const {
    return m_high > m_low ? static_cast<double>(m_pos - m_low) / (m_high - m_low) : 0.0;
}

void CSCProgress::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool vertical = IsVertical();
    const int thickness = std::min(vertical ? width() : height(), 10);
    const QRectF track = vertical ? QRectF((width() - thickness) / 2.0, 0, thickness, height())
                                  : QRectF(0, (height() - thickness) / 2.0, width(), thickness);
    PaintBar(painter, track, Fraction(), vertical,
             SkinPaletteColor(isEnabled() ? SKINCOLOR_ACCENT : SKINCOLOR_DISABLED_TEXT));
}

CSCScaleProgress::CSCScaleProgress(QWidget* parent, int windowId, uint32_t style)
    : CSCProgress(parent, windowId, style) {}
CSCScaleProgress::~CSCScaleProgress() = default;

// ---- CSCPlayMeterRenderer -----------------------------------------------------------------

float CSCPlayMeterRenderer::ToMeterScale(float amplitude) {
    if (!(amplitude > 0.0f)) return 0.0f;
    const float db = 20.0f * std::log10(amplitude);
    return std::clamp((db - kFloorDb) / -kFloorDb, 0.0f, 1.0f);
}

void CSCPlayMeterRenderer::AddSamples(const float* const* channels, int channelCount, size_t frames) {
    if (!channels || channelCount <= 0) return;
    const int count = std::min(channelCount, kMaxChannels);
    std::array<float, kMaxChannels> peaks{};
    for (int c = 0; c < count; ++c) {
        if (!channels[c]) continue;
        for (size_t i = 0; i < frames; ++i)
            peaks[static_cast<size_t>(c)] = std::max(peaks[static_cast<size_t>(c)], std::fabs(channels[c][i]));
    }
    std::lock_guard lock(m_lock);
    m_channels = std::max(m_channels, count);
    for (int c = 0; c < count; ++c)
        m_peaks[static_cast<size_t>(c)] = std::max(m_peaks[static_cast<size_t>(c)], peaks[static_cast<size_t>(c)]);
}

void CSCPlayMeterRenderer::AddPcm(const void* data, size_t bytes, const WAVEFORMATEX& format) {
    const int channels = format.nChannels;
    const int sampleBytes = format.wBitsPerSample / 8;
    if (!data || channels <= 0 || sampleBytes <= 0 || format.nBlockAlign < channels * sampleBytes) return;
    const bool isFloat = format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT && sampleBytes == 4;
    const auto* bytesIn = static_cast<const uint8_t*>(data);
    const size_t frames = bytes / format.nBlockAlign;
    const int count = std::min(channels, kMaxChannels);
    std::array<float, kMaxChannels> peaks{};
    for (size_t f = 0; f < frames; ++f) {
        const uint8_t* frame = bytesIn + f * format.nBlockAlign;
        for (int c = 0; c < count; ++c) {
            const uint8_t* s = frame + c * sampleBytes;
            float value = 0.0f;
            if (isFloat) {
                std::memcpy(&value, s, 4);
                if (!std::isfinite(value)) value = 0.0f;
            } else if (sampleBytes == 1) {
                value = (static_cast<int>(s[0]) - 128) / 128.0f;
            } else if (sampleBytes == 2) {
                int16_t v;
                std::memcpy(&v, s, 2);
                value = v / 32768.0f;
            } else if (sampleBytes == 3) {
                const int32_t v =
                    static_cast<int32_t>((static_cast<uint32_t>(s[0]) << 8) | (static_cast<uint32_t>(s[1]) << 16) |
                                         (static_cast<uint32_t>(s[2]) << 24)) >>
                    8;
                value = v / 8388608.0f;
            } else if (sampleBytes == 4) {
                int32_t v;
                std::memcpy(&v, s, 4);
                value = static_cast<float>(v / 2147483648.0);
            }
            peaks[static_cast<size_t>(c)] = std::max(peaks[static_cast<size_t>(c)], std::fabs(value));
        }
    }
    std::lock_guard lock(m_lock);
    m_channels = std::max(m_channels, count);
    for (int c = 0; c < count; ++c)
        m_peaks[static_cast<size_t>(c)] = std::max(m_peaks[static_cast<size_t>(c)], peaks[static_cast<size_t>(c)]);
}

std::vector<float> CSCPlayMeterRenderer::Advance(int elapsedMs) {
    std::array<float, kMaxChannels> peaks;
    int channels = 0;
    {
        std::lock_guard lock(m_lock);
        peaks = m_peaks;
        m_peaks.fill(0.0f);
        channels = m_channels;
    }
    m_shown.resize(static_cast<size_t>(channels), 0.0f);
    const float decay = kDecayPerMs * static_cast<float>(std::max(0, elapsedMs));
    for (size_t c = 0; c < m_shown.size(); ++c) m_shown[c] = std::max(ToMeterScale(peaks[c]), m_shown[c] - decay);
    for (float& level : m_shown) level = std::max(level, 0.0f);
    return m_shown;
}

void CSCPlayMeterRenderer::Reset() {
    std::lock_guard lock(m_lock);
    m_peaks.fill(0.0f);
    m_channels = 0;
    m_shown.clear();
}

// ---- CSCPlayMeter / CSCPlayMeter2 ---------------------------------------------------------

CSCPlayMeter::CSCPlayMeter(QWidget* parent, int windowId, uint32_t style) : CSkinBase(parent, windowId, style) {
    setFocusPolicy(Qt::NoFocus);
    m_timer.setInterval(kMeterIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
}

CSCPlayMeter::~CSCPlayMeter() = default;

void CSCPlayMeter::SetOn(bool on) {
    if (on == m_timer.isActive()) return;
    if (on) {
        m_lastTick = QDateTime::currentMSecsSinceEpoch();
        m_timer.start();
    } else {
        m_timer.stop();
        m_renderer.Reset();
        m_levels.clear();
        update();
    }
}

void CSCPlayMeter::AddSamples(const float* const* channels, int channelCount, size_t frames) {
    m_renderer.AddSamples(channels, channelCount, frames);
}

void CSCPlayMeter::Tick() {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    m_levels = m_renderer.Advance(static_cast<int>(std::clamp<qint64>(now - m_lastTick, 0, 1000)));
    m_lastTick = now;
    update();
}

void CSCPlayMeter::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int bars = std::max<int>(2, static_cast<int>(m_levels.size()));
    const qreal gap = 4.0;
    const qreal barHeight = std::max(2.0, (height() - gap * (bars - 1)) / bars);
    for (int i = 0; i < bars; ++i) {
        const float level = i < static_cast<int>(m_levels.size()) ? m_levels[static_cast<size_t>(i)] : 0.0f;
        const QRectF track(0, i * (barHeight + gap), width(), barHeight);
        PaintBar(painter, track, level, false,
                 SkinPaletteColor(level > kHotLevel ? SKINCOLOR_DANGER : SKINCOLOR_ACCENT));
    }
}

CSCPlayMeter2::CSCPlayMeter2(QWidget* parent, int windowId, uint32_t style) : CSCPlayMeter(parent, windowId, style) {}
CSCPlayMeter2::~CSCPlayMeter2() = default;

void CSCPlayMeter2::SetFormat(const WAVEFORMATEX& format) {
    std::lock_guard lock(m_formatLock);
    m_format = format;
}

void CSCPlayMeter2::AddData(const void* data, size_t bytes) {
    WAVEFORMATEX format;
    {
        std::lock_guard lock(m_formatLock);
        format = m_format;
    }
    m_renderer.AddPcm(data, bytes, format);
}
