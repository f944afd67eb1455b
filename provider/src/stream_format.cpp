#include "provider/src/stream_format.h"

#include <algorithm>
#include <cstring>
#include <limits>

extern "C" {
#include <libavutil/channel_layout.h>
}

WAVEFORMATEXTENSIBLE MakeFormat(int channels, int rate, int bits, uint32_t channelMask, bool isFloat) {
    WAVEFORMATEXTENSIBLE f{};
    const int bytesPerSample = (bits + 7) / 8;
    f.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    f.Format.nChannels = static_cast<uint16_t>(channels);
    f.Format.nSamplesPerSec = static_cast<uint32_t>(rate);
    f.Format.nBlockAlign = static_cast<uint16_t>(channels * bytesPerSample);
    f.Format.nAvgBytesPerSec = f.Format.nSamplesPerSec * f.Format.nBlockAlign;
    f.Format.wBitsPerSample = static_cast<uint16_t>(bytesPerSample * 8);
    f.Format.cbSize = 22;
    f.Samples.wValidBitsPerSample = static_cast<uint16_t>(bits);
    f.dwChannelMask = channelMask;
    f.SubFormat = isFloat ? KSDATAFORMAT_SUBTYPE_IEEE_FLOAT : KSDATAFORMAT_SUBTYPE_PCM;
    return f;
}

uint32_t DefaultChannelMask(int channels) {
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, channels);
    const uint32_t mask = layout.order == AV_CHANNEL_ORDER_NATIVE ? static_cast<uint32_t>(layout.u.mask) : 0;
    av_channel_layout_uninit(&layout);
    return mask;
}

namespace {

// FFmpeg's channel bits up to the top back right speaker are the wave speaker bits.
constexpr uint64_t kWaveSpeakerBits = 0x3FFFF;

uint32_t ChannelMaskOf(const AVChannelLayout& layout) {
    if (layout.order == AV_CHANNEL_ORDER_NATIVE && (layout.u.mask & ~kWaveSpeakerBits) == 0)
        return static_cast<uint32_t>(layout.u.mask);
    return DefaultChannelMask(layout.nb_channels);
}

bool IsLossless(const AVCodecDescriptor* descriptor) {
    return descriptor && (descriptor->props & AV_CODEC_PROP_LOSSLESS) && !(descriptor->props & AV_CODEC_PROP_LOSSY);
}

}  // namespace

WAVEFORMATEXTENSIBLE DescribeStream(const MediaInput& input) {
    const AVCodecParameters* par = input.stream()->codecpar;
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(par->codec_id);
    const auto sampleFormat = static_cast<AVSampleFormat>(par->format);

    int bits = 16;
    bool isFloat = false;
    if (IsLossless(descriptor)) {
        // PCM states its depth in the codec; FLAC and other lossless codecs in their header.
        bits = av_get_bits_per_sample(par->codec_id);
        if (bits <= 0) bits = par->bits_per_raw_sample;
        if (bits <= 0) bits = par->bits_per_coded_sample;
        if (bits <= 0) bits = av_get_bytes_per_sample(sampleFormat) * 8;
        if (bits <= 0 || bits > 64) bits = 16;
        isFloat = sampleFormat == AV_SAMPLE_FMT_FLT || sampleFormat == AV_SAMPLE_FMT_FLTP ||
                  sampleFormat == AV_SAMPLE_FMT_DBL || sampleFormat == AV_SAMPLE_FMT_DBLP;
    }
    return MakeFormat(par->ch_layout.nb_channels, par->sample_rate, bits, ChannelMaskOf(par->ch_layout), isFloat);
}

namespace {

// Priming of AAC-LC encoders (FFmpeg's and FAAC) that a raw ADTS stream can not state.
constexpr int64_t kAdtsPriming = 1024;

uint32_t Saturate(int64_t frames) {
    return static_cast<uint32_t>(std::clamp<int64_t>(frames, 0, std::numeric_limits<uint32_t>::max()));
}

bool DemuxerIs(const MediaInput& input, const char* name) {
    return std::strcmp(input.format()->iformat->name, name) == 0;
}

bool IsMp4Family(const MediaInput& input) { return std::strstr(input.format()->iformat->name, "mp4") != nullptr; }

int64_t InFrames(int64_t value, AVRational timeBase, int rate) {
    return av_rescale_q(value, timeBase, AVRational{1, rate});
}

// Sums the packet durations of the audio stream, at the stream's sample rate.
int64_t CountPacketFrames(const InputLocation& location, int rate) {
    auto input = MediaInput::Open(location);
    if (!input) return 0;
    PacketPtr packet(av_packet_alloc());
    if (!packet) return 0;
    const AVRational timeBase = input->stream()->time_base;
    int64_t total = 0;
    while (input->ReadPacket(packet.get())) {
        if (packet->duration > 0) total += InFrames(packet->duration, timeBase, rate);
        av_packet_unref(packet.get());
    }
    return total;
}

// The length the container states, or -1.
int64_t StatedLength(const MediaInput& input) {
    const AVStream* st = input.stream();
    const int rate = st->codecpar->sample_rate;
    if (input.format()->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE) return -1;
    int64_t frames = -1;
    if (st->duration != AV_NOPTS_VALUE && st->duration > 0)
        frames = InFrames(st->duration, st->time_base, rate);
    else if (input.format()->duration != AV_NOPTS_VALUE && input.format()->duration > 0)
        frames = InFrames(input.format()->duration, AVRational{1, AV_TIME_BASE}, rate);
    if (frames < 0) return -1;
    // MP3 counts every frame of its Info header; its start time is the encoder delay the
    // decoder drops. Ogg Opus counts the pre-skip the decoder drops.
    if (DemuxerIs(input, "mp3") && st->start_time != AV_NOPTS_VALUE && st->start_time > 0)
        frames -= InFrames(st->start_time, st->time_base, rate);
    if (DemuxerIs(input, "ogg") && st->codecpar->codec_id == AV_CODEC_ID_OPUS)
        frames -= av_rescale(st->codecpar->initial_padding, rate, 48000);
    return std::max<int64_t>(frames, 0);
}

}  // namespace

StreamTrim TrimOf(const MediaInput& input) {
    StreamTrim trim;
    const AVCodecParameters* par = input.stream()->codecpar;
    if (DemuxerIs(input, "aac") && par->codec_id == AV_CODEC_ID_AAC && par->profile == FF_PROFILE_AAC_LOW)
        trim.skip = kAdtsPriming;
    // FFmpeg drops the priming of MP4 files but not their padding: the edit list says where
    // the sound ends.
    if (IsMp4Family(input)) trim.keep = StatedLength(input);
    return trim;
}

uint32_t StreamLengthFrames(const MediaInput& input, const InputLocation& location) {
    const int64_t stated = StatedLength(input);
    if (stated >= 0) return Saturate(stated);
    return Saturate(CountPacketFrames(location, input.stream()->codecpar->sample_rate) - TrimOf(input).skip);
}
