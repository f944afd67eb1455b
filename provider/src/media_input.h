// An FFmpeg demuxer and decoder on the best audio stream of a file or a block of memory,
// guarded by a deadline so that hostile input can not make a call hang.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/unique_fd.h"
#include "provider/src/ffmpeg_ptr.h"

// Where the bytes of an input come from: a file path, or memory the caller keeps alive.
struct InputLocation {
    std::string path;
    const uint8_t* data = nullptr;
    size_t size = 0;

    bool InMemory() const { return data != nullptr; }
};

// Highest sample rate and channel count the provider accepts from a file.
inline constexpr int kMaxSampleRate = 384000;
inline constexpr int kMaxChannels = 64;

class MediaInput {
public:
    enum class Step { Frame, End, Error };

    // Opens the input and the decoder of its best audio stream; null when the input is not
    // a regular non-empty file, has no decodable audio stream, or has an absurd format.
    // openDecoder = false opens the demuxer only (for tags and packet counting).
    static std::unique_ptr<MediaInput> Open(const InputLocation& location, bool openDecoder = true);
    MediaInput(const MediaInput&) = delete;
    MediaInput& operator=(const MediaInput&) = delete;

    // Blocking calls after this one give up once the time has passed.
    void ArmDeadline(std::chrono::milliseconds budget);

    // Decodes the next frame of the audio stream into frame (Step::Frame), or reports the
    // end of the stream or a failure (interrupted by the deadline, decoder error).
    Step DecodeNext(AVFrame* frame);
    // Reads the next packet of the audio stream; false at the end.
    bool ReadPacket(AVPacket* packet);

    AVFormatContext* format() const { return format_.get(); }
    AVStream* stream() const { return format_->streams[streamIndex_]; }
    AVCodecContext* decoder() const { return decoder_.get(); }

private:
    MediaInput() = default;
    bool OpenDemuxer(const InputLocation& location);
    bool OpenDecoder();
    bool OpenBytes(const InputLocation& location);
    static int InterruptCallback(void* opaque);
    static int ReadBytes(void* opaque, uint8_t* buf, int size);
    static int64_t SeekBytes(void* opaque, int64_t offset, int whence);

    // FFmpeg reads only through io_ from one of these: the open file, or the memory.
    UniqueFd file_;
    const uint8_t* memory_ = nullptr;
    size_t memorySize_ = 0;
    size_t memoryPos_ = 0;

    std::chrono::steady_clock::time_point deadline_;
    IoContextPtr io_;  // must outlive format_
    InputContextPtr format_;
    CodecContextPtr decoder_;
    PacketPtr packet_;
    int streamIndex_ = -1;
    bool draining_ = false;
};
