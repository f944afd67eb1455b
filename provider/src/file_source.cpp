#include "provider/src/file_source.h"

#include <algorithm>
#include <array>

std::unique_ptr<FileSource> FileSource::Open(const InputLocation& location) {
    std::unique_ptr<FileSource> source(new FileSource());
    source->location_ = location;
    source->frame_.reset(av_frame_alloc());
    if (!source->frame_ || !source->OpenInput()) return nullptr;
    source->format_ = DescribeStream(*source->input_);
    source->length_ = StreamLengthFrames(*source->input_, location);
    return source;
}

bool FileSource::OpenInput() {
    pending_ = false;
    input_ = MediaInput::Open(location_);
    if (!input_) return false;
    trim_ = TrimOf(*input_);
    skipLeft_ = trim_.skip;
    keepLeft_ = trim_.keep;
    // A file whose stream yields no sound at all is not an audio file.
    while (input_->DecodeNext(frame_.get()) == MediaInput::Step::Frame) {
        if (frame_->nb_samples > 0) {
            pending_ = true;
            return true;
        }
        av_frame_unref(frame_.get());
    }
    return false;
}

bool FileSource::PushPart(SampleConverter& out, int offset, int count) {
    const auto format = static_cast<AVSampleFormat>(frame_->format);
    const int channels = frame_->ch_layout.nb_channels;
    if (channels <= 0 || channels > kMaxChannels) return false;
    const int sampleBytes = av_get_bytes_per_sample(format);
    std::array<const uint8_t*, kMaxChannels> planes{};
    if (av_sample_fmt_is_planar(format)) {
        for (int ch = 0; ch < channels; ++ch) planes[ch] = frame_->extended_data[ch] + offset * sampleBytes;
    } else {
        planes[0] = frame_->extended_data[0] + offset * sampleBytes * channels;
    }
    return out.Push(planes.data(), count, format, frame_->ch_layout, frame_->sample_rate);
}

bool FileSource::Pull(SampleConverter& out) {
    if (trim_.keep >= 0 && keepLeft_ <= 0) return false;
    if (!pending_) {
        if (!input_ || input_->DecodeNext(frame_.get()) != MediaInput::Step::Frame) return false;
    }
    pending_ = false;
    int offset = 0;
    int count = frame_->nb_samples;
    const int skip = static_cast<int>(std::min<int64_t>(skipLeft_, count));
    skipLeft_ -= skip;
    offset += skip;
    count -= skip;
    if (trim_.keep >= 0) {
        count = static_cast<int>(std::min<int64_t>(count, keepLeft_));
        keepLeft_ -= count;
    }
    const bool converted = PushPart(out, offset, count);
    av_frame_unref(frame_.get());
    return converted;
}

bool FileSource::Restart() {
    // Opening again gives exactly the first decode (encoder delay handling included),
    // which a seek to the start does not promise for every format.
    return OpenInput();
}
