#include "provider/src/sample_converter.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace {

// The resampler needs speaker positions: a layout without them gets the default one.
ChannelLayout UsableLayout(const AVChannelLayout& layout) {
    if (layout.order == AV_CHANNEL_ORDER_NATIVE) return ChannelLayout::CopyOf(layout);
    return ChannelLayout(layout.nb_channels);
}

}  // namespace

SampleConverter::SampleConverter(int channels, int rate)
    : layout_(channels), rate_(rate), queue_(static_cast<size_t>(channels) * 2) {}

bool SampleConverter::Configure(AVSampleFormat format, const AVChannelLayout& layout, int rate) {
    Flush();
    swr_.reset();
    ChannelLayout usable = UsableLayout(layout);
    SwrContext* raw = nullptr;
    if (swr_alloc_set_opts2(&raw, layout_.get(), AV_SAMPLE_FMT_S16, rate_, usable.get(), format, rate, 0, nullptr) < 0)
        return false;
    SwrContextPtr swr(raw);
    if (swr_init(swr.get()) < 0) return false;
    swr_ = std::move(swr);
    inFormat_ = format;
    inLayout_ = std::move(usable);
    inRate_ = rate;
    return true;
}

bool SampleConverter::Push(const uint8_t* const* data, int frames, AVSampleFormat format, const AVChannelLayout& layout,
                           int rate) {
    if (frames <= 0) return true;
    if (rate <= 0 || layout.nb_channels <= 0) return false;
    const bool sameInput = swr_ && format == inFormat_ && rate == inRate_ &&
                           av_channel_layout_compare(UsableLayout(layout).get(), inLayout_.get()) == 0;
    if (!sameInput && !Configure(format, layout, rate)) return false;

    const int room = swr_get_out_samples(swr_.get(), frames);
    if (room < 0) return false;
    uint8_t* out = queue_.Reserve(static_cast<size_t>(room));
    const int converted = swr_convert(swr_.get(), &out, room, const_cast<const uint8_t**>(data), frames);
    if (converted < 0) return false;
    queue_.Commit(static_cast<size_t>(converted));
    return true;
}

bool SampleConverter::Push(const AVFrame& frame) {
    return Push(frame.extended_data, frame.nb_samples, static_cast<AVSampleFormat>(frame.format), frame.ch_layout,
                frame.sample_rate);
}

void SampleConverter::Flush() {
    if (!swr_) return;
    for (;;) {
        const int room = swr_get_out_samples(swr_.get(), 0);
        if (room <= 0) return;
        uint8_t* out = queue_.Reserve(static_cast<size_t>(room));
        const int converted = swr_convert(swr_.get(), &out, room, nullptr, 0);
        if (converted <= 0) return;
        queue_.Commit(static_cast<size_t>(converted));
    }
}

void SampleConverter::Reset() {
    swr_.reset();
    inFormat_ = AV_SAMPLE_FMT_NONE;
    inRate_ = 0;
    queue_.Clear();
}
