// A writer handle: encodes 16-bit interleaved PCM (1 or 2 channels, any rate) into a file
// through an FFmpeg encoder and muxer, converting channels, rate and sample format as the
// encoder needs.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "contracts/wave_format.h"
#include "provider/src/encoder_plan.h"
#include "provider/src/ffmpeg_ptr.h"
#include "provider/src/handle_table.h"

struct OutputContextDeleter {
    void operator()(AVFormatContext* ctx) const;
};
using OutputContextPtr = std::unique_ptr<AVFormatContext, OutputContextDeleter>;

// Sample buffers in an encoder's format, grown as needed.
class SampleBuffer {
public:
    ~SampleBuffer();
    uint8_t** Reserve(int frames, int channels, AVSampleFormat format);

private:
    uint8_t** planes_ = nullptr;
    int capacity_ = 0;
};

class AudioWriter : public Resource {
public:
    // Null when the PCM format is not 16-bit with 1 or 2 channels, no encoder of the plan
    // is available, or the file can not be created (a file already begun is removed).
    static std::shared_ptr<AudioWriter> Create(const std::string& path, const WAVEFORMATEXTENSIBLE& pcm,
                                               const EncoderPlan& plan);
    ~AudioWriter() override;

    // Encodes frames of PCM; bytes must be frames × block align. False when the data was
    // not taken: a size mismatch, an encoder error, or a failed write (disk full), after
    // which every further call fails too.
    bool Add(uint32_t frames, const void* buf, uint32_t bytes);
    // Flushes the encoder and completes the container. After a failure the partial file
    // is left as it is. Later calls do nothing.
    void Close();

private:
    AudioWriter() = default;
    bool OpenEncoder(const EncoderPlan& plan);
    bool OpenConverter(const WAVEFORMATEXTENSIBLE& pcm);
    bool OpenOutput(const std::string& path, const EncoderPlan& plan);
    bool Convert(const uint8_t* const* data, int frames);
    bool EncodeQueued(bool final);
    bool Encode(AVFrame* frame);

    std::mutex mutex_;  // guards everything below: one call at a time per handle
    OutputContextPtr output_;
    CodecContextPtr encoder_;
    SwrContextPtr swr_;
    AudioFifoPtr fifo_;
    FramePtr frame_;
    PacketPtr packet_;
    SampleBuffer staging_;
    AVStream* stream_ = nullptr;  // owned by output_
    int blockAlign_ = 0;
    int frameSize_ = 0;
    int64_t nextPts_ = 0;
    bool failed_ = false;
    bool closed_ = true;  // until Create has opened everything
};
