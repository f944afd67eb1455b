// Owning pointers for the FFmpeg objects the provider uses, so that every path that leaves
// a function releases them.
#pragma once

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
}

struct InputContextDeleter {
    void operator()(AVFormatContext* ctx) const { avformat_close_input(&ctx); }
};
struct CodecContextDeleter {
    void operator()(AVCodecContext* ctx) const { avcodec_free_context(&ctx); }
};
struct SwrContextDeleter {
    void operator()(SwrContext* ctx) const { swr_free(&ctx); }
};
struct PacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct AudioFifoDeleter {
    void operator()(AVAudioFifo* fifo) const { av_audio_fifo_free(fifo); }
};
// A custom I/O context: frees its current buffer (which FFmpeg may have replaced) too.
struct IoContextDeleter {
    void operator()(AVIOContext* io) const {
        if (io) av_freep(&io->buffer);
        avio_context_free(&io);
    }
};

using InputContextPtr = std::unique_ptr<AVFormatContext, InputContextDeleter>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using SwrContextPtr = std::unique_ptr<SwrContext, SwrContextDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using AudioFifoPtr = std::unique_ptr<AVAudioFifo, AudioFifoDeleter>;
using IoContextPtr = std::unique_ptr<AVIOContext, IoContextDeleter>;

// An option or metadata dictionary that frees itself.
class Dictionary {
public:
    Dictionary() = default;
    ~Dictionary() { av_dict_free(&dict_); }
    Dictionary(const Dictionary&) = delete;
    Dictionary& operator=(const Dictionary&) = delete;
    AVDictionary** get() { return &dict_; }

private:
    AVDictionary* dict_ = nullptr;
};

// A channel layout that uninitialises itself.
class ChannelLayout {
public:
    ChannelLayout() = default;
    explicit ChannelLayout(int channels) { av_channel_layout_default(&layout_, channels); }
    ChannelLayout(const ChannelLayout& other) { av_channel_layout_copy(&layout_, &other.layout_); }
    ChannelLayout& operator=(const ChannelLayout& other) {
        if (this != &other) {
            av_channel_layout_uninit(&layout_);
            av_channel_layout_copy(&layout_, &other.layout_);
        }
        return *this;
    }
    ~ChannelLayout() { av_channel_layout_uninit(&layout_); }

    static ChannelLayout CopyOf(const AVChannelLayout& source) {
        ChannelLayout result;
        av_channel_layout_copy(&result.layout_, &source);
        return result;
    }

    const AVChannelLayout* get() const { return &layout_; }
    AVChannelLayout* get() { return &layout_; }
    int channels() const { return layout_.nb_channels; }

private:
    AVChannelLayout layout_{};
};
