// Progress bars and level meters.
//
// Threads: the level meters' AddSamples/AddData may be called from any thread (see
// CSCPlayMeterRenderer); everything else runs on the user-interface thread.
#pragma once

#include <array>
#include <cstddef>
#include <mutex>
#include <vector>

#include <QTimer>

#include "contracts/wave_format.h"
#include "skin/control_records.h"
#include "skin/skin_base.h"

// Progress bar: a rounded track filled in the accent colour.
class CSCProgress : public CSkinBase {
    Q_OBJECT
public:
    CSCProgress(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCProgress() override;

    void SetRange(int low, int high);
    void SetPos(int position);  // clamped
    int GetPos() const { return m_pos; }
    int GetRangeLow() const { return m_low; }
    int GetRangeHigh() const { return m_high; }
    // Filled part, 0..1.
    double Fraction() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    virtual bool IsVertical() const { return false; }

private:
    int m_low = 0, m_high = 100, m_pos = 0;
};

// Progress bar that scales to any size; PBS_VERTICAL fills it from the bottom.
class CSCScaleProgress : public CSCProgress {
    Q_OBJECT
public:
    CSCScaleProgress(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCScaleProgress() override;

protected:
    bool IsVertical() const override { return (GetStyle() & PBS_VERTICAL) != 0; }
};

// Level computation for the meters (free of painting). AddSamples/AddPcm may be called from
// any thread; Levels from the painting thread. m_lock guards m_peaks.
class CSCPlayMeterRenderer {
public:
    static constexpr int kMaxChannels = 8;
    // Peak of every channel since the last Advance, from float samples (−1..1).
    void AddSamples(const float* const* channels, int channelCount, size_t frames);
    // The same from interleaved PCM of the format (8, 16, 24, 32-bit integer or 32-bit float).
    void AddPcm(const void* data, size_t bytes, const WAVEFORMATEX& format);
    // Moves the shown levels towards the peaks collected since the last call: a rise is
    // shown at once, a fall decays by 24 dB per second over elapsedMs. Returns the levels
    // (0..1 on a 60 dB scale) of the channels seen.
    std::vector<float> Advance(int elapsedMs);
    void Reset();
    // 0..1 on a 60 dB scale for a linear amplitude.
    static float ToMeterScale(float amplitude);

private:
    std::mutex m_lock;
    std::array<float, kMaxChannels> m_peaks{};
    int m_channels = 0;
    std::vector<float> m_shown;  // painting thread only
};

// Horizontal level meter (kind 12): one bar per channel, green-to-accent segments, updated
// 30 times a second while on.
class CSCPlayMeter : public CSkinBase {
    Q_OBJECT
public:
    CSCPlayMeter(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCPlayMeter() override;

    void SetOn(bool on);
    bool IsOn() const { return m_timer.isActive(); }
    CSCPlayMeterRenderer& Renderer() { return m_renderer; }
    // Any thread.
    void AddSamples(const float* const* channels, int channelCount, size_t frames);
    const std::vector<float>& ShownLevels() const { return m_levels; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void Tick();
    CSCPlayMeterRenderer m_renderer;

private:
    QTimer m_timer;
    std::vector<float> m_levels;
    qint64 m_lastTick = 0;
};

// Level meter fed with raw PCM in a given format (kind 18, the recorder's).
class CSCPlayMeter2 : public CSCPlayMeter {
    Q_OBJECT
public:
    CSCPlayMeter2(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCPlayMeter2() override;

    void SetFormat(const WAVEFORMATEX& format);
    // Any thread.
    void AddData(const void* data, size_t bytes);

private:
    std::mutex m_formatLock;  // guards m_format
    WAVEFORMATEX m_format{};
};
