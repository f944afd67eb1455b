// The saver's output settings, tags, export adoption and clean-up.
#include "engine/saver.h"

#include <filesystem>
#include <iterator>
#include <optional>
#include <utility>

#include "audiosvc/audiosvc.h"
#include "engine/provider_handles.h"
#include "engine/src/save_jobs.h"
#include "engine/src/saver_records.h"
#include "engine/temp_files.h"
#include "engine/track.h"
#include "platform/texts.h"

void ShowSaveMessage(const char* text, uint32_t type) { AfxSCMessageBox(text, type, nullptr, nullptr); }

bool RingtoneSaver::SetOutput(size_t index, uint32_t channels, uint32_t kbps) {
    const EncoderList& encoders = Encoders();
    if (index >= encoders.size() || (channels != 1 && channels != 2)) return false;
    const uint32_t tag = std::next(encoders.begin(), static_cast<std::ptrdiff_t>(index))->first;
    if (IsLossless(tag)) return ChangeOutput(tag, channels, 0);
    if (kbps != 64 && kbps != 128 && kbps != 256) return false;
    return ChangeOutput(tag, channels, kbps);
}

bool RingtoneSaver::SetWaveOutput(uint32_t channels) {
    if (channels != 1 && channels != 2) return false;
    return ChangeOutput(kWaveOutput, channels, 0);
}

bool RingtoneSaver::ChangeOutput(uint32_t tag, uint32_t channels, uint32_t kbps) {
    if (outputChosen_ && tag == encoderTag_ && channels == outputFormat_.Format.nChannels && kbps == bitrate_)
        return true;
    // The encoded file belongs to the old settings.
    encodedFile_.Remove();
    outputFormat_ = OutputPcmFormat(channels);
    encoderTag_ = tag;
    bitrate_ = kbps;
    encoderRecord_ = BuildRecord();
    outputChosen_ = true;
    return true;
}

std::vector<uint8_t> RingtoneSaver::BuildRecord() const {
    // The AAC (Faac) encoder goes by the quality when saving; the others take the bit rate.
    const uint32_t bitsPerSecond = encoderTag_ == QoEncoderAac ? 0 : bitrate_ * 1000;
    const uint32_t options = encoderTag_ == QoEncoderOgg && loopTag_ ? QoRecordLoopTag : 0;
    return MakeEncoderRecord(encoderTag_, outputFormat_, bitsPerSecond,
                             AacQuality(outputFormat_.Format.nChannels, bitrate_), options);
}

std::vector<uint8_t> RingtoneSaver::TaggedRecord() const {
    std::vector<uint8_t> record = encoderRecord_;
    AppendTagBlock(record, Title(), Artist());
    return record;
}

void RingtoneSaver::TakeTrackTags(const RingtoneTimeline& timeline) {
    trackTitle_.clear();
    trackArtist_.clear();
    const TrackSlot* basic = timeline.Track1();
    if (!basic || basic->path.empty()) return;
    if (const std::optional<TagTexts> tags = ProviderTags(basic->path).Texts()) {
        trackTitle_ = (*tags)[QoTagTitle];
        trackArtist_ = (*tags)[QoTagArtist];
    }
    if (trackTitle_.empty()) trackTitle_ = basic->givenName;
    if (trackTitle_.empty()) trackTitle_ = std::filesystem::path(basic->path).stem().string();
}

void RingtoneSaver::SetTitle(std::optional<std::string> title) {
    if (title == titleOverride_) return;
    titleOverride_ = std::move(title);
    encodedFile_.Remove();
}

void RingtoneSaver::SetArtist(std::optional<std::string> artist) {
    if (artist == artistOverride_) return;
    artistOverride_ = std::move(artist);
    encodedFile_.Remove();
}

void RingtoneSaver::SetLoopTag(bool on) {
    if (on == loopTag_) return;
    loopTag_ = on;
    encodedFile_.Remove();
    if (outputChosen_) encoderRecord_ = BuildRecord();
}

bool RingtoneSaver::AdoptExport(TempFile&& exported) {
    CleanUp();
    TempFile file = std::move(exported);
    file.CloseHandle();
    WAVEFORMATEXTENSIBLE format{};
    uint32_t frames = 0;
    {
        ProviderReader probe;
        if (file.Path().empty() || !probe.Open(file.Path(), format, frames, QoModeProbe)) {
            ShowSaveMessage(kExportProbeErrorText, MB_OK);
            return false;
        }
    }
    exportFormat_ = format;
    exportFrames_ = frames;
    exportFile_ = std::move(file);
    rangeLoudness_ = preparedLoudness_;
    return true;
}

NormalizeMode NormalizeModeFromProfile(int value) {
    switch (value) {
        case 0: return NormalizeMode::Off;
        case 2: return NormalizeMode::Loudness;
        default: return NormalizeMode::Peak;
    }
}

void RingtoneSaver::SetNormalizeMode(NormalizeMode mode) {
    if (mode == normalizeMode) return;
    encodedFile_.Remove();
    normalizeMode = mode;
}

void RingtoneSaver::SetLimiter(bool on) {
    if (on == limiter) return;
    encodedFile_.Remove();
    limiter = on;
}

void RingtoneSaver::SetLoudnessTarget(double lufs) {
    if (lufs == loudnessTarget) return;
    encodedFile_.Remove();
    loudnessTarget = lufs;
}

void RingtoneSaver::CleanUp() {
    exportFile_.Remove();
    encodedFile_.Remove();
    flacEstimate_ = {};
    rangeLoudness_ = {};
}
