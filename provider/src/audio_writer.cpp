#include "provider/src/audio_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

namespace {

// Chunk size for encoders that take frames of any size (PCM).
constexpr int kVariableFrameSize = 4096;

int NearestRate(const AVCodec* codec, int wanted) {
    if (!codec->supported_samplerates) return wanted;
    int best = 0;
    for (const int* rate = codec->supported_samplerates; *rate; ++rate)
        if (best == 0 || std::abs(*rate - wanted) < std::abs(best - wanted)) best = *rate;
    return best ? best : wanted;
}

bool ValidPcm(const WAVEFORMATEXTENSIBLE& pcm) {
    const WAVEFORMATEX& f = pcm.Format;
    const bool pcmTag = f.wFormatTag == WAVE_FORMAT_PCM ||
                        (f.wFormatTag == WAVE_FORMAT_EXTENSIBLE && pcm.SubFormat == KSDATAFORMAT_SUBTYPE_PCM);
    return pcmTag && f.wBitsPerSample == 16 && (f.nChannels == 1 || f.nChannels == 2) &&
           f.nBlockAlign == f.nChannels * 2 && f.nSamplesPerSec > 0 && f.nSamplesPerSec <= 384000;
}

}  // namespace

void OutputContextDeleter::operator()(AVFormatContext* ctx) const {
    if (ctx && ctx->pb && !(ctx->oformat->flags & AVFMT_NOFILE)) avio_closep(&ctx->pb);
    avformat_free_context(ctx);
}

SampleBuffer::~SampleBuffer() {
    if (planes_) av_freep(&planes_[0]);
    av_freep(&planes_);
}

uint8_t** SampleBuffer::Reserve(int frames, int channels, AVSampleFormat format) {
    if (frames <= capacity_ && planes_) return planes_;
    if (planes_) av_freep(&planes_[0]);
    av_freep(&planes_);
    capacity_ = 0;
    if (av_samples_alloc_array_and_samples(&planes_, nullptr, channels, frames, format, 0) < 0) return nullptr;
    capacity_ = frames;
    return planes_;
}

std::shared_ptr<AudioWriter> AudioWriter::Create(const std::string& path, const WAVEFORMATEXTENSIBLE& pcm,
                                                 const EncoderPlan& plan) {
    if (!ValidPcm(pcm) || path.empty()) return nullptr;
    std::shared_ptr<AudioWriter> writer(new AudioWriter());
    writer->blockAlign_ = pcm.Format.nBlockAlign;
    writer->frame_.reset(av_frame_alloc());
    writer->packet_.reset(av_packet_alloc());
    if (!writer->frame_ || !writer->packet_) return nullptr;
    if (!writer->OpenEncoder(plan) || !writer->OpenConverter(pcm)) return nullptr;
    if (!writer->OpenOutput(path, plan)) return nullptr;
    writer->closed_ = false;
    return writer;
}

AudioWriter::~AudioWriter() { Close(); }

bool AudioWriter::OpenEncoder(const EncoderPlan& plan) {
    const AVCodec* codec = nullptr;
    for (const std::string& name : plan.encoders)
        if ((codec = avcodec_find_encoder_by_name(name.c_str()))) break;
    if (!codec || plan.channels < 1 || plan.channels > 2 || plan.sampleRate <= 0) return false;

    encoder_.reset(avcodec_alloc_context3(codec));
    if (!encoder_) return false;
    encoder_->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    encoder_->sample_rate = NearestRate(codec, plan.sampleRate);
    av_channel_layout_default(&encoder_->ch_layout, plan.channels);
    encoder_->time_base = AVRational{1, encoder_->sample_rate};
    if (plan.bitRate > 0) encoder_->bit_rate = plan.bitRate;
    if (plan.managedRate) encoder_->rc_min_rate = encoder_->rc_max_rate = plan.bitRate;
    const AVOutputFormat* muxer = av_guess_format(plan.muxer.c_str(), nullptr, nullptr);
    if (!muxer) return false;
    if (muxer->flags & AVFMT_GLOBALHEADER) encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    Dictionary options;
    for (const auto& [key, value] : plan.encoderOptions)
        if (av_dict_set(options.get(), key.c_str(), value.c_str(), 0) < 0) return false;
    if (avcodec_open2(encoder_.get(), codec, options.get()) < 0) return false;

    const bool anySize = (codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) || encoder_->frame_size <= 0;
    frameSize_ = anySize ? kVariableFrameSize : encoder_->frame_size;
    fifo_.reset(av_audio_fifo_alloc(encoder_->sample_fmt, plan.channels, frameSize_));
    return fifo_ != nullptr;
}

bool AudioWriter::OpenConverter(const WAVEFORMATEXTENSIBLE& pcm) {
    ChannelLayout inLayout(pcm.Format.nChannels);
    SwrContext* raw = nullptr;
    if (swr_alloc_set_opts2(&raw, &encoder_->ch_layout, encoder_->sample_fmt, encoder_->sample_rate, inLayout.get(),
                            AV_SAMPLE_FMT_S16, static_cast<int>(pcm.Format.nSamplesPerSec), 0, nullptr) < 0)
        return false;
    swr_.reset(raw);
    return swr_init(swr_.get()) >= 0;
}

bool AudioWriter::OpenOutput(const std::string& path, const EncoderPlan& plan) {
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, plan.muxer.c_str(), path.c_str()) < 0 || !raw) return false;
    output_.reset(raw);
    stream_ = avformat_new_stream(raw, nullptr);
    if (!stream_ || avcodec_parameters_from_context(stream_->codecpar, encoder_.get()) < 0) return false;
    stream_->time_base = encoder_->time_base;
    const std::string url = "file:" + path;
    for (const auto& [key, value] : plan.metadata)
        if (av_dict_set(&raw->metadata, key.c_str(), value.c_str(), 0) < 0) return false;
    Dictionary options;
    for (const auto& [key, value] : plan.muxerOptions)
        if (av_dict_set(options.get(), key.c_str(), value.c_str(), 0) < 0) return false;
    if (avio_open(&raw->pb, url.c_str(), AVIO_FLAG_WRITE) < 0) return false;
    if (avformat_write_header(raw, options.get()) >= 0) return true;
    // The file was begun here and is of no use.
    output_.reset();
    std::remove(path.c_str());
    return false;
}

bool AudioWriter::Convert(const uint8_t* const* data, int frames) {
    const int room = swr_get_out_samples(swr_.get(), frames);
    if (room < 0) return false;
    if (room == 0) return true;
    uint8_t** out = staging_.Reserve(room, encoder_->ch_layout.nb_channels, encoder_->sample_fmt);
    if (!out) return false;
    const int converted = swr_convert(swr_.get(), out, room, const_cast<const uint8_t**>(data), frames);
    if (converted < 0) return false;
    return av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(out), converted) == converted;
}

bool AudioWriter::Encode(AVFrame* frame) {
    if (avcodec_send_frame(encoder_.get(), frame) < 0) return false;
    for (;;) {
        const int received = avcodec_receive_packet(encoder_.get(), packet_.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) break;
        if (received < 0) return false;
        packet_->stream_index = stream_->index;
        av_packet_rescale_ts(packet_.get(), encoder_->time_base, stream_->time_base);
        if (av_interleaved_write_frame(output_.get(), packet_.get()) < 0) return false;
    }
    // Writes are buffered: a full disk shows up as an error of the I/O context.
    return output_->pb->error >= 0;
}

bool AudioWriter::EncodeQueued(bool final) {
    const bool shortLast =
        encoder_->codec->capabilities & (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
    for (;;) {
        const int queued = av_audio_fifo_size(fifo_.get());
        if (queued == 0 || (queued < frameSize_ && !final)) return true;
        const int count = std::min(queued, frameSize_);
        av_frame_unref(frame_.get());
        frame_->nb_samples = (count < frameSize_ && !shortLast) ? frameSize_ : count;
        frame_->format = encoder_->sample_fmt;
        frame_->sample_rate = encoder_->sample_rate;
        if (av_channel_layout_copy(&frame_->ch_layout, &encoder_->ch_layout) < 0) return false;
        if (av_frame_get_buffer(frame_.get(), 0) < 0) return false;
        if (av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(frame_->data), count) != count) return false;
        if (frame_->nb_samples > count)
            av_samples_set_silence(frame_->data, count, frame_->nb_samples - count, frame_->ch_layout.nb_channels,
                                   encoder_->sample_fmt);
        frame_->pts = nextPts_;
        nextPts_ += frame_->nb_samples;
        if (!Encode(frame_.get())) return false;
    }
}

bool AudioWriter::Add(uint32_t frames, const void* buf, uint32_t bytes) {
    std::lock_guard lock(mutex_);
    if (closed_ || failed_) return false;
    if (static_cast<uint64_t>(frames) * blockAlign_ != bytes || (frames > 0 && !buf)) return false;
    if (frames > static_cast<uint32_t>(std::numeric_limits<int>::max() / 4)) return false;
    if (frames == 0) return true;
    const auto* data = static_cast<const uint8_t*>(buf);
    if (!Convert(&data, static_cast<int>(frames)) || !EncodeQueued(false)) failed_ = true;
    return !failed_;
}

void AudioWriter::Close() {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    closed_ = true;
    if (!failed_) {
        // What the resampler still holds, the last short frame, then the encoder's delay.
        const bool complete = Convert(nullptr, 0) && EncodeQueued(true) && Encode(nullptr);
        if (complete) av_write_trailer(output_.get());
    }
    output_.reset();
}
