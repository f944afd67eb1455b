// Saving a ringtone takes two jobs behind progress runs: the export renders the marked range
// through the chain into a temporary WAV file in the mix format; the save reads it back
// through the provider in the chosen channel count, optionally normalizes it, and encodes it
// into a second temporary file. Messages go through AfxSCMessageBox; a cancelled job shows
// none and leaves no file behind.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "contracts/wave_format.h"
#include "engine/loudness.h"
#include "engine/progress.h"
#include "engine/render_chain.h"
#include "engine/temp_files.h"

// The fixed 44-byte header of the export file: PCM, the format's channels, rate and block
// align, 16 bits, and data bytes = block align x frames.
inline constexpr uint32_t kExportHeaderBytes = 44;
std::array<uint8_t, kExportHeaderBytes> MakeExportWavHeader(const WAVEFORMATEX& format, uint32_t frames);

// What a save does to the level: nothing, the peak normalizer (each channel's loudest sample
// to full scale), or one gain to a loudness target followed by the true-peak limiter.
// The profile value Save/Normalize stores it: 0 Off, 1 Peak (the old "on"), 2 Loudness.
enum class NormalizeMode { Off = 0, Peak = 1, Loudness = 2 };
NormalizeMode NormalizeModeFromProfile(int value);
inline constexpr double kDefaultLoudnessTarget = -14.0;  // LUFS
inline constexpr double kLimiterCeiling = -1.0;          // dBTP

struct SaveEstimate {
    uint32_t seconds = 0;  // rounded to the nearest second
    uint64_t bytes = 0;
    std::string lengthText;  // TimeText
    std::string sizeText;    // SizeText
};

// One per main window: the export file, the encoded file and the output settings.
class RingtoneSaver {
public:
    // Ordered by tag, which is also the order the encoders are offered in.
    using EncoderList = std::map<uint32_t, std::string>;
    // Not an encoder of the list: a 16-bit PCM WAV file, for tools that want the rendered
    // sound itself.
    static constexpr uint32_t kWaveOutput = 0;

    RingtoneSaver() = default;
    ~RingtoneSaver() { CleanUp(); }
    RingtoneSaver(const RingtoneSaver&) = delete;
    RingtoneSaver& operator=(const RingtoneSaver&) = delete;

    // The encoders that can write a file here, probed once per run (128 kbps stereo into a
    // temporary file that is deleted at once).
    static const EncoderList& Encoders();
    // "MP3 (Lame)" ".mp3" for 0xBEEF1003, "AAC (Faac)" ".aac" for 0xBEEF3006, ".wav" for
    // kWaveOutput; empty for other tags.
    static std::string EncoderName(uint32_t tag);
    static std::string EncoderExtension(uint32_t tag);
    // The AAC quality field for a channel count and bit rate (0 for other bit rates).
    static uint32_t AacQuality(uint32_t channels, uint32_t kbps);

    // Chooses the encoder at index of Encoders(), the channel count (1 or 2) and the bit
    // rate (64, 128 or 256 kbps). False for anything else. A change deletes the encoded file.
    bool SetOutput(size_t index, uint32_t channels, uint32_t kbps);
    // Chooses the WAV output with the channel count (1 or 2).
    bool SetWaveOutput(uint32_t channels);
    // Length and approximate size of the file a save would make.
    SaveEstimate Estimate() const;

    // Renders the timeline's marked range into a new temporary WAV file ("qoexp"/"wav"),
    // behind the run "Preparing for Export...". The preview is stopped first. A range under
    // one second, a chain that cannot open and any file or worker failure show their
    // message; false then, and no file is left.
    bool PrepareExport(RingtoneTimeline& timeline, IProgressFactory& progress, TempFile& exported);
    // Runs CleanUp, then probes the exported file and keeps it as the file to save. When the
    // probe fails it shows "Error opening temponary file" and deletes the file.
    bool AdoptExport(TempFile&& exported);
    // Encodes the export file into a temporary file behind the run "Preparing file", unless
    // one exists for the current settings. True when the encoded file is ready.
    bool Save(IProgressFactory& progress);
    // Deletes the export file and the encoded file.
    void CleanUp();

    const std::string& ExportPath() const { return exportFile_.Path(); }
    const std::string& EncodedPath() const { return encodedFile_.Path(); }
    uint32_t ExportFrames() const { return exportFrames_; }
    const WAVEFORMATEXTENSIBLE& ExportFormat() const { return exportFormat_; }
    const WAVEFORMATEXTENSIBLE& OutputFormat() const { return outputFormat_; }
    uint32_t EncoderTag() const { return encoderTag_; }
    uint32_t Bitrate() const { return bitrate_; }
    const std::vector<uint8_t>& EncoderRecord() const { return encoderRecord_; }
    // The per-channel peak magnitudes (up to 32768) and gains of the last normalized save.
    const std::array<uint16_t, 2>& Peaks() const { return peaks_; }
    const std::array<float, 2>& Gains() const { return gains_; }

    // Changes the level settings; a change deletes the encoded file, made with the old ones.
    // SetNormalize(true) is Peak, false Off.
    void SetNormalize(bool on) { SetNormalizeMode(on ? NormalizeMode::Peak : NormalizeMode::Off); }
    void SetNormalizeMode(NormalizeMode mode);
    void SetLimiter(bool on);
    void SetLoudnessTarget(double lufs);
    // The limiter runs with loudness normalisation and, when asked, alone.
    bool LimiterRuns() const { return limiter || normalizeMode == NormalizeMode::Loudness; }
    // The rendered range as the export measured it (stereo mix, before 16 bits), and the save's
    // measurement in the output channels before the loudness gain (Loudness only) with the
    // gain it gave.
    const LoudnessResult& RangeLoudness() const { return rangeLoudness_; }
    const LoudnessResult& SavedLoudness() const { return savedLoudness_; }
    double LoudnessGain() const { return loudnessGainDb_; }

    // The profile values Save/Overwrite (default off) and Save/Normalize (default Peak).
    bool overwrite = false;
    NormalizeMode normalizeMode = NormalizeMode::Peak;
    bool limiter = false;
    double loudnessTarget = kDefaultLoudnessTarget;

private:
    bool ChangeOutput(uint32_t tag, uint32_t channels, uint32_t kbps);
    int RunSave(IProgress& progress, uint32_t reader, uint32_t writer);
    int MeasureSave(IProgress& progress, uint32_t reader);

    TempFile exportFile_;
    TempFile encodedFile_;  // empty when nothing is encoded for the current settings
    uint32_t exportFrames_ = 0;
    WAVEFORMATEXTENSIBLE exportFormat_{};
    uint32_t bitrate_ = 0;
    WAVEFORMATEXTENSIBLE outputFormat_{};
    uint32_t encoderTag_ = 0;
    bool outputChosen_ = false;
    std::vector<uint8_t> encoderRecord_;
    std::array<uint16_t, 2> peaks_{};
    std::array<float, 2> gains_{};
    LoudnessResult preparedLoudness_;  // of the last PrepareExport, until AdoptExport
    LoudnessResult rangeLoudness_;
    LoudnessResult savedLoudness_;
    double loudnessGainDb_ = 0.0;
};
