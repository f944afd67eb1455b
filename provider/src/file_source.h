// An audio file (or memory block) decoded by FFmpeg.
#pragma once

#include <memory>

#include "provider/src/audio_source.h"
#include "provider/src/media_input.h"
#include "provider/src/stream_format.h"

class FileSource : public AudioSource {
public:
    // Null when the input can not be opened or decodes to nothing.
    static std::unique_ptr<FileSource> Open(const InputLocation& location);

    const WAVEFORMATEXTENSIBLE& format() const override { return format_; }
    uint32_t length() const override { return length_; }
    bool Pull(SampleConverter& out) override;
    bool Restart() override;
    void ArmDeadline(std::chrono::milliseconds budget) override {
        if (input_) input_->ArmDeadline(budget);
    }

private:
    FileSource() = default;
    // Opens the input and decodes its first frame into pending_.
    bool OpenInput();

    // Passes frame_'s samples [offset, offset + count) on.
    bool PushPart(SampleConverter& out, int offset, int count);

    InputLocation location_;
    std::unique_ptr<MediaInput> input_;
    FramePtr frame_;
    bool pending_ = false;  // frame_ holds a decoded frame not yet passed on
    StreamTrim trim_;
    int64_t skipLeft_ = 0;  // priming frames still to drop
    int64_t keepLeft_ = 0;  // frames still to pass on when trim_.keep is known
    WAVEFORMATEXTENSIBLE format_{};
    uint32_t length_ = 0;
};
