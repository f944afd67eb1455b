// CDelay, the ring-buffer delay line of the two delay plug-ins. Reading then writing once
// per sample delays the written signal by Length() samples (with a factor of 0).
#pragma once

#include <cstdint>
#include <vector>

class CDelay {
public:
    CDelay() = default;
    virtual ~CDelay() = default;
    CDelay(const CDelay&) = default;
    CDelay& operator=(const CDelay&) = default;

    // A ring of `length` zeros (a length of 0 makes one) with the given feedback factor.
    void SetUp(double factor, uint32_t length);
    // Frees the ring: reads give 0, writes are dropped.
    void Clear();

    uint32_t Length() const { return static_cast<uint32_t>(m_items.size()); }

    // The sample about to be overwritten; 0 without a ring.
    double Read() const { return m_items.empty() ? 0.0 : m_items[m_position]; }
    // Stores factor × the overwritten sample + x and advances; nothing without a ring.
    void Write(double x) {
        if (m_items.empty()) return;
        double& item = m_items[m_position];
        item = m_factor * item + x;
        if (++m_position == m_items.size()) m_position = 0;
    }

private:
    double m_factor = 0.0;
    std::vector<double> m_items;
    size_t m_position = 0;  // index of the next sample to read and overwrite
};

// The highest sample rate the delays open a stream for; it bounds a ring to a few
// megabytes even for the longest delay.
inline constexpr uint32_t kMaxDelaySampleRate = 768000;

// The ring length for a delay in milliseconds at a sample rate: ⌊ms × rate / 1000⌋ in
// 64 bits, limited to the 32-bit range.
uint32_t DelayLineLength(uint32_t milliseconds, uint32_t samplesPerSecond);
