#include "provider/src/media_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr auto kOpenBudget = std::chrono::seconds(15);
constexpr int kIoBufferSize = 64 * 1024;
constexpr int64_t kProbeBytes = 5 * 1000 * 1000;
constexpr int64_t kAnalyzeMicroseconds = 5 * 1000 * 1000;
// A decoder that rejects this many packets in a row is not going to produce sound.
constexpr int kMaxRejectedPackets = 1000;

}  // namespace

std::unique_ptr<MediaInput> MediaInput::Open(const InputLocation& location, bool openDecoder) {
    std::unique_ptr<MediaInput> input(new MediaInput());
    input->ArmDeadline(kOpenBudget);
    if (!input->OpenBytes(location) || !input->OpenDemuxer(location)) return nullptr;
    if (openDecoder && !input->OpenDecoder()) return nullptr;
    return input;
}

void MediaInput::ArmDeadline(std::chrono::milliseconds budget) {
    deadline_ = std::chrono::steady_clock::now() + budget;
}

int MediaInput::InterruptCallback(void* opaque) {
    auto* self = static_cast<MediaInput*>(opaque);
    return std::chrono::steady_clock::now() > self->deadline_ ? 1 : 0;
}

bool MediaInput::OpenBytes(const InputLocation& location) {
    if (location.InMemory()) {
        memory_ = location.data;
        memorySize_ = location.size;
        return location.size > 0;
    }
    // Opened without blocking (a pipe would wait for a writer), then only a regular,
    // non-empty file is accepted.
    file_.Reset(::open(location.path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (!file_ || ::fstat(file_.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) return false;
    const int flags = ::fcntl(file_.get(), F_GETFL);
    return flags >= 0 && ::fcntl(file_.get(), F_SETFL, flags & ~O_NONBLOCK) == 0;
}

int MediaInput::ReadBytes(void* opaque, uint8_t* buf, int size) {
    auto* self = static_cast<MediaInput*>(opaque);
    if (size <= 0) return 0;
    if (self->file_) {
        ssize_t count;
        do {
            count = ::read(self->file_.get(), buf, static_cast<size_t>(size));
        } while (count < 0 && errno == EINTR);
        if (count < 0) return AVERROR(errno);
        return count == 0 ? AVERROR_EOF : static_cast<int>(count);
    }
    const size_t count = std::min(self->memorySize_ - self->memoryPos_, static_cast<size_t>(size));
    if (count == 0) return AVERROR_EOF;
    std::memcpy(buf, self->memory_ + self->memoryPos_, count);
    self->memoryPos_ += count;
    return static_cast<int>(count);
}

int64_t MediaInput::SeekBytes(void* opaque, int64_t offset, int whence) {
    auto* self = static_cast<MediaInput*>(opaque);
    if (self->file_) {
        if (whence & AVSEEK_SIZE) {
            struct stat st {};
            return ::fstat(self->file_.get(), &st) == 0 ? static_cast<int64_t>(st.st_size) : AVERROR(errno);
        }
        const off_t position = ::lseek(self->file_.get(), static_cast<off_t>(offset), whence & ~AVSEEK_FORCE);
        return position < 0 ? AVERROR(errno) : static_cast<int64_t>(position);
    }
    const auto size = static_cast<int64_t>(self->memorySize_);
    if (whence & AVSEEK_SIZE) return size;
    int64_t target = 0;
    switch (whence & ~AVSEEK_FORCE) {
        case SEEK_SET: target = offset; break;
        case SEEK_CUR: target = static_cast<int64_t>(self->memoryPos_) + offset; break;
        case SEEK_END: target = size + offset; break;
        default: return AVERROR(EINVAL);
    }
    if (target < 0 || target > size) return AVERROR(EINVAL);
    self->memoryPos_ = static_cast<size_t>(target);
    return target;
}

bool MediaInput::OpenDemuxer(const InputLocation& location) {
    auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferSize));
    if (!buffer) return false;
    io_.reset(
        avio_alloc_context(buffer, kIoBufferSize, 0, this, &MediaInput::ReadBytes, nullptr, &MediaInput::SeekBytes));
    if (!io_) {
        av_free(buffer);
        return false;
    }
    AVFormatContext* ctx = avformat_alloc_context();
    if (!ctx) return false;
    ctx->interrupt_callback = {&MediaInput::InterruptCallback, this};
    ctx->probesize = kProbeBytes;
    ctx->max_analyze_duration = kAnalyzeMicroseconds;
    ctx->pb = io_.get();
    ctx->flags |= AVFMT_FLAG_CUSTOM_IO;

    // FFmpeg reads the input only through io_. No protocol is allowed, so that nothing a
    // playlist or reference inside the file names is ever opened (a pipe it names would
    // block forever; other files are none of its business).
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "none", 0);
    // The name only helps to tell formats apart by their extension.
    const int opened = avformat_open_input(&ctx, location.InMemory() ? "" : location.path.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) return false;  // avformat_open_input freed ctx
    format_.reset(ctx);
    return true;
}

bool MediaInput::OpenDecoder() {
    if (avformat_find_stream_info(format_.get(), nullptr) < 0) return false;
    const AVCodec* codec = nullptr;
    streamIndex_ = av_find_best_stream(format_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (streamIndex_ < 0 || !codec) return false;
    for (unsigned i = 0; i < format_->nb_streams; ++i)
        if (static_cast<int>(i) != streamIndex_) format_->streams[i]->discard = AVDISCARD_ALL;

    const AVCodecParameters* par = stream()->codecpar;
    if (par->sample_rate <= 0 || par->sample_rate > kMaxSampleRate) return false;
    if (par->ch_layout.nb_channels <= 0 || par->ch_layout.nb_channels > kMaxChannels) return false;

    decoder_.reset(avcodec_alloc_context3(codec));
    packet_.reset(av_packet_alloc());
    if (!decoder_ || !packet_) return false;
    if (avcodec_parameters_to_context(decoder_.get(), par) < 0) return false;
    decoder_->pkt_timebase = stream()->time_base;
    return avcodec_open2(decoder_.get(), codec, nullptr) >= 0;
}

bool MediaInput::ReadPacket(AVPacket* packet) {
    for (;;) {
        if (av_read_frame(format_.get(), packet) < 0) return false;
        if (streamIndex_ < 0 || packet->stream_index == streamIndex_) return true;
        av_packet_unref(packet);
    }
}

MediaInput::Step MediaInput::DecodeNext(AVFrame* frame) {
    int rejected = 0;
    for (;;) {
        if (InterruptCallback(this)) return Step::Error;
        const int received = avcodec_receive_frame(decoder_.get(), frame);
        if (received == 0) return Step::Frame;
        if (received == AVERROR_EOF) return Step::End;
        // A damaged packet is skipped, as players do; endless damage ends the stream.
        if (received != AVERROR(EAGAIN)) {
            if (++rejected > kMaxRejectedPackets) return Step::Error;
            continue;
        }
        if (draining_) return Step::End;

        if (!ReadPacket(packet_.get())) {
            // End of the input (or a read error, which ends it the same way): drain.
            draining_ = true;
            if (avcodec_send_packet(decoder_.get(), nullptr) < 0) return Step::End;
            continue;
        }
        const int sent = avcodec_send_packet(decoder_.get(), packet_.get());
        av_packet_unref(packet_.get());
        if (sent < 0 && ++rejected > kMaxRejectedPackets) return Step::Error;
    }
}
