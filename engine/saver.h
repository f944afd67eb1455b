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
#include <optional>
#include <string>
#include <vector>

#include "contracts/provider_api.h"
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

// The settings a FLAC size estimate was measured with.
struct FlacEstimateKey {
    uint32_t channels = 0;
    NormalizeMode mode = NormalizeMode::Off;
    bool limiter = false;
    double targetLufs = 0.0;
    bool operator==(const FlacEstimateKey&) const = default;
};
struct FlacEstimate {
    FlacEstimateKey key;
    uint64_t bytes = 0;
};

// One per main window: the export file, the encoded file and the output settings.
class RingtoneSaver {
public:
    // Ordered by tag, which is also the order the encoders are offered in.
    using EncoderList = std::map<uint32_t, std::string>;
    // The WAV row: 16-bit PCM, also chosen by SetWaveOutput whether or not it was probed.
    static constexpr uint32_t kWaveOutput = QoEncoderWav;

    RingtoneSaver() = default;
    ~RingtoneSaver() { CleanUp(); }
    RingtoneSaver(const RingtoneSaver&) = delete;
    RingtoneSaver& operator=(const RingtoneSaver&) = delete;

    // The encoders that can write a file here, probed once per run (128 kbps stereo into a
    // temporary file that is deleted at once).
    static const EncoderList& Encoders();
    // In tag order: "MP3 (Lame)" ".mp3", "AAC (Faac)" ".aac", "iPhone ringtone (M4R)" ".m4r",
    // "AAC in MP4 (M4A)" ".m4a", "Ogg Vorbis" ".ogg", "FLAC" ".flac", "WAV" ".wav"; empty for
    // other tags.
    static std::string EncoderName(uint32_t tag);
    static std::string EncoderExtension(uint32_t tag);
    // FLAC and WAV: the bit rate (quality list) does not apply.
    static bool IsLossless(uint32_t tag);
    // The AAC quality field for a channel count and bit rate (0 for other bit rates).
    static uint32_t AacQuality(uint32_t channels, uint32_t kbps);

    // Chooses the encoder at index of Encoders(), the channel count (1 or 2) and the bit
    // rate (64, 128 or 256 kbps; ignored by the lossless rows). False for anything else. A
    // change deletes the encoded file.
    bool SetOutput(size_t index, uint32_t channels, uint32_t kbps);
    // Chooses the WAV output with the channel count (1 or 2).
    bool SetWaveOutput(uint32_t channels);
    // Length and approximate size of the file a save would make. The lossy rows go by the
    // bit rate; FLAC by a test encoding of the export file's audio with the level settings
    // (kept until the channels or level settings change); WAV by its exact size.
    SaveEstimate Estimate() const;

    // The title and the artist written into the saved file where its type has tags. Each
    // export takes them from the basic track: its title tag, else the name given to the
    // track, else its file name without extension; its artist tag. A text set here replaces
    // the track's until it is reset with nullopt. A change deletes the encoded file.
    std::string Title() const { return titleOverride_ ? *titleOverride_ : trackTitle_; }
    std::string Artist() const { return artistOverride_ ? *artistOverride_ : trackArtist_; }
    void SetTitle(std::optional<std::string> title);
    void SetArtist(std::optional<std::string> artist);
    // Ogg Vorbis only: an ANDROID_LOOP=true comment, which makes Android loop the tone. A
    // change deletes the encoded file.
    bool LoopTag() const { return loopTag_; }
    void SetLoopTag(bool on);

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
    std::vector<uint8_t> BuildRecord() const;
    // The record with the title and artist after it (QoCoderTagsFollow).
    std::vector<uint8_t> TaggedRecord() const;
    void TakeTrackTags(const RingtoneTimeline& timeline);
    uint64_t FlacBytes() const;
    int RunSave(IProgress& progress, uint32_t reader, uint32_t writer);
    int MeasureSave(IProgress& progress, uint32_t reader);
    // Raises the loudness gain by what heavy limiting takes away (see kRefineOverCeilingDb).
    int RefineLimitedGain(IProgress& progress, uint32_t reader);

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
    std::string trackTitle_;
    std::string trackArtist_;
    std::optional<std::string> titleOverride_;
    std::optional<std::string> artistOverride_;
    bool loopTag_ = false;
    // The FLAC size measured on the export file for the settings of its key (0: not measured
    // yet). Emptied with the export file.
    mutable FlacEstimate flacEstimate_;
    LoudnessResult preparedLoudness_;  // of the last PrepareExport, until AdoptExport
    LoudnessResult rangeLoudness_;
    LoudnessResult savedLoudness_;
    double loudnessGainDb_ = 0.0;
};
