// A growing FIFO of whole PCM frames: the converter appends, readers take from the front.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class PcmQueue {
public:
    explicit PcmQueue(size_t frameBytes) : frameBytes_(frameBytes) {}

    size_t frames() const { return (tail_ - head_) / frameBytes_; }
    size_t frameBytes() const { return frameBytes_; }

    // Room for at least frames more frames; Commit then says how many were written.
    uint8_t* Reserve(size_t frames);
    void Commit(size_t frames) { tail_ += frames * frameBytes_; }

    // Copies up to frames frames to dst and removes them; returns the count.
    size_t Take(void* dst, size_t frames);
    // Removes up to frames frames; returns the count.
    size_t Drop(size_t frames);
    void Clear() { head_ = tail_ = 0; }

private:
    size_t frameBytes_;
    std::vector<uint8_t> bytes_;
    size_t head_ = 0;  // first live byte
    size_t tail_ = 0;  // one past the last live byte
};
