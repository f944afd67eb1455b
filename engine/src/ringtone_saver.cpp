// The saver's output settings, estimate, export adoption and clean-up.
#include "engine/saver.h"

#include <cmath>
#include <iterator>

#include "audiosvc/audiosvc.h"
#include "engine/provider_handles.h"
#include "engine/src/save_jobs.h"
#include "engine/src/saver_records.h"
#include "engine/temp_files.h"
#include "platform/texts.h"

void ShowSaveMessage(const char* text, uint32_t type) { AfxSCMessageBox(text, type, nullptr, nullptr); }

bool RingtoneSaver::SetOutput(size_t index, uint32_t channels, uint32_t kbps) {
    const EncoderList& encoders = Encoders();
    if (index >= encoders.size() || (channels != 1 && channels != 2) || (kbps != 64 && kbps != 128 && kbps != 256))
        return false;
    return ChangeOutput(std::next(encoders.begin(), static_cast<std::ptrdiff_t>(index))->first, channels, kbps);
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
    // The MP3 encoder takes the bit rate; the AAC encoder goes by the quality when saving.
    const uint32_t bitsPerSecond = tag == QoEncoderMp3 ? kbps * 1000 : 0;
    encoderRecord_ = MakeEncoderRecord(tag, outputFormat_, bitsPerSecond, AacQuality(channels, kbps));
    outputChosen_ = true;
    return true;
}

SaveEstimate RingtoneSaver::Estimate() const {
    SaveEstimate estimate;
    const uint32_t rate = exportFormat_.Format.nSamplesPerSec;
    if (rate > 0) {
        estimate.seconds = static_cast<uint32_t>((uint64_t{rate} / 2 + exportFrames_) / rate);
        if (encoderTag_ == kWaveOutput) {
            estimate.bytes = kExportHeaderBytes + uint64_t{outputFormat_.Format.nBlockAlign} * exportFrames_;
        } else {
            // A kilobit counts 1024 bits here.
            estimate.bytes = static_cast<uint64_t>(
                std::trunc(static_cast<double>(bitrate_) * exportFrames_ * 0.125 / rate * 1024 + 0.5));
        }
    }
    estimate.lengthText = TimeText(estimate.seconds);
    estimate.sizeText = SizeText(estimate.bytes);
    return estimate;
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
    rangeLoudness_ = {};
}
