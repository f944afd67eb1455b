// Something the provider decodes: an FFmpeg input or an audio CD track.
#pragma once

#include <chrono>
#include <cstdint>

#include "contracts/wave_format.h"
#include "provider/src/sample_converter.h"

class AudioSource {
public:
    virtual ~AudioSource() = default;

    // The source's own format and length in frames at its own rate, as the probe reports.
    virtual const WAVEFORMATEXTENSIBLE& format() const = 0;
    virtual uint32_t length() const = 0;

    // Feeds the next block of audio into the converter; false at the end of the audio
    // (or when it can not be read any further).
    virtual bool Pull(SampleConverter& out) = 0;
    // Goes back to the first frame; false when that is impossible.
    virtual bool Restart() = 0;
    // Limits the time the following reads may block.
    virtual void ArmDeadline(std::chrono::milliseconds budget) = 0;
};
