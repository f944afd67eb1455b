// A decoded track's reads, mixing, placement and peaks.
#include "engine/track.h"

#include <algorithm>
#include <cstring>

#include "audiosvc/audiosvc.h"

void DrawCache::Reset(uint32_t channelCount) {
    channels.assign(channelCount, {});
    firstColumn = 0;
    validPairs = 0;
    zoom = 0;
    valid = false;
}

TrackSource::TrackSource() : format_(kWorkingFormat) {}

void TrackSource::Reset() {
    drawCache_.Reset(0);
    mapped_.Unmap();
    tempFile_.Remove();
    peaks_.clear();
    peakArrayBytes_ = 0;
    frames_ = 0;
    placementStart_ = placementEnd_ = 0;
    activeStart_ = activeEnd_ = 0;
    editorFlag = 0;
    // The next decode asks for the working format again: a mono file left one channel here.
    format_ = kWorkingFormat;
}

uint32_t TrackSource::Read(void* destination, uint64_t byteOffset, uint32_t byteCount) const {
    if (!IsOpen() || byteOffset >= mapped_.size()) return 0;
    const auto count = static_cast<uint32_t>(std::min<uint64_t>(byteCount, mapped_.size() - byteOffset));
    std::memcpy(destination, mapped_.data() + byteOffset, count);
    return count;
}

void TrackSource::RenderIntoMix(void* output, int64_t firstFrame, uint32_t frameCount,
                                const WAVEFORMATEX& outputFormat) const {
    const uint32_t outputChannels = outputFormat.nChannels;
    if (!IsOpen() || outputFormat.wBitsPerSample != 16 || (outputChannels != 1 && outputChannels != 2)) return;

    // The placement bound keeps every read inside the decoded data.
    const int64_t start = std::max({firstFrame, activeStart_, placementStart_});
    const int64_t end = std::min(
        {firstFrame + static_cast<int64_t>(frameCount), activeEnd_, placementStart_ + static_cast<int64_t>(frames_)});
    if (start >= end) return;
    const auto n = static_cast<uint32_t>(end - start);
    const auto offset = static_cast<uint64_t>(start - placementStart_);
    const uint32_t channels = Channels();

    // Scratch buffers live for one call; the track's frames arrive in the output's layout.
    std::vector<int16_t> frames(static_cast<size_t>(n) * outputChannels);
    if (channels == outputChannels) {
        Read(frames.data(), offset * BlockAlign(), n * BlockAlign());
    } else {
        std::vector<int16_t> source(static_cast<size_t>(n) * channels);
        Read(source.data(), offset * BlockAlign(), n * BlockAlign());
        if (channels == 1) {
            JoinChannels(frames.data(), source.data(), source.data(), &outputFormat, n);
        } else {
            for (uint32_t i = 0; i < n; ++i) frames[i] = static_cast<int16_t>((source[2 * i] + source[2 * i + 1]) / 2);
        }
    }
    auto* target = static_cast<int16_t*>(output) + static_cast<size_t>(start - firstFrame) * outputChannels;
    MixWaveData(target, target, n, frames.data(), n, &outputFormat, CHANNEL_ALL);
}

bool TrackSource::Move(int64_t delta) {
    // Far beyond any timeline (about 790 years of frames), and small enough that the
    // positions below never overflow.
    constexpr int64_t kLongestMove = int64_t{1} << 40;
    const int64_t newStart = std::max<int64_t>(activeStart_ + std::clamp(delta, -kLongestMove, kLongestMove), 0);
    if (newStart == activeStart_) return false;
    const int64_t shift = newStart - activeStart_;
    placementStart_ += shift;
    placementEnd_ += shift;
    activeEnd_ += shift;
    activeStart_ = newStart;
    return true;
}

bool TrackSource::Trim(uint32_t framesPerPixel, TrimEdge edge, int64_t position) {
    const int64_t minimum = 5 * static_cast<int64_t>(framesPerPixel);
    if (edge == TrimEdge::Start) {
        const int64_t newStart = std::max(placementStart_, std::min(position, activeEnd_ - minimum));
        if (newStart == activeStart_) return false;
        activeStart_ = newStart;
    } else {
        const int64_t newEnd = std::min(placementEnd_, std::max(position, activeStart_ + minimum));
        if (newEnd == activeEnd_) return false;
        activeEnd_ = newEnd;
    }
    return true;
}

PeakPair TrackSource::Peak(uint32_t channel, uint32_t block) const {
    if (channel >= peaks_.size() || static_cast<uint64_t>(block) * kPeakBlock >= frames_) return {32767, -32768};
    const std::vector<int16_t>& pairs = peaks_[channel];
    return {pairs[2 * static_cast<size_t>(block)], pairs[2 * static_cast<size_t>(block) + 1]};
}
