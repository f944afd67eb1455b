// Opening tracks through the real provider: formats, names, refusals, cancel, full disks.
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <fstream>
#include <string>

#include "engine/progress.h"
#include "engine/track.h"
#include "track_fixture.h"

namespace {

using TrackOpen = TrackFixture;

constexpr double kTonePeak = 8192;  // the fixture's tones are at a quarter of full scale

std::vector<int16_t> Ramp(uint32_t frames, int channels) {
    std::vector<int16_t> samples(frames * channels);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>(i * 37 % 65536 - 32768);
    return samples;
}

int16_t PeakOf(const TrackSource& track) {
    int16_t peak = 0;
    for (uint32_t block = 0; block * TrackSource::kPeakBlock < track.Frames(); ++block)
        peak = std::max<int16_t>(peak, track.Peak(0, block).maximum);
    return peak;
}

TEST_F(TrackOpen, StereoWavDecodesExactlyIntoAPrivateTemporaryFile) {
    const std::vector<int16_t> samples = Ramp(3000, 2);
    TrackSlot slot;
    OpenOk(slot, Wav("ramp.wav", samples, 2));
    const TrackSource& track = slot.source;
    EXPECT_EQ(track.Frames(), 3000u);
    EXPECT_EQ(track.Channels(), 2u);
    EXPECT_EQ(track.BlockAlign(), 4u);
    EXPECT_EQ(std::vector<int16_t>(reinterpret_cast<const int16_t*>(track.Data()),
                                   reinterpret_cast<const int16_t*>(track.Data()) + 6000),
              samples);
    EXPECT_EQ(track.PlacementStart(), 0);
    EXPECT_EQ(track.PlacementEnd(), 3000);
    EXPECT_EQ(track.ActiveStart(), 0);
    EXPECT_EQ(track.ActiveEnd(), 3000);
    EXPECT_EQ(track.DisplayName(), "ramp");

    ASSERT_EQ(TempFiles().size(), 1u);
    EXPECT_EQ(TempFiles()[0].rfind("qosrc", 0), 0u);
    EXPECT_EQ(track.TempPath(), temp_ + "/" + TempFiles()[0]);
    struct stat info {};
    ASSERT_EQ(::stat(track.TempPath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    ASSERT_EQ(progress_.Records().size(), 2u);
    EXPECT_EQ(progress_.Records()[0].text, "Opening: ramp");
    EXPECT_EQ(progress_.Records()[1].text, "Creating Draw Cache...");
    for (const ProgressRecord& run : progress_.Records()) {
        EXPECT_EQ(run.result, kProgressCompleted);
        EXPECT_TRUE(run.cancelEnabled);
    }
    EXPECT_EQ(progress_.Records()[0].lastPercent, 100u);

    slot.Clear();
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(TrackOpen, OtherSampleFormatsAndRatesBecomeWorkingPcm) {
    // 8-bit: each unsigned byte becomes (byte - 128) * 256 exactly.
    ASSERT_TRUE(Ffmpeg("-f lavfi -i 'aevalsrc=0.5|0.5:s=44100:d=0.1' -c:a pcm_u8 u8.wav"));
    TrackSlot u8;
    OpenOk(u8, inputs_ + "/u8.wav");
    EXPECT_EQ(u8.source.Frames(), 4410u);
    EXPECT_EQ(u8.source.Peak(1, 3).minimum, 16384);  // 0.5 is byte 192
    EXPECT_EQ(u8.source.Peak(1, 3).maximum, 16384);

    TrackSlot s24;
    OpenOk(s24, Tone("s24.wav", 1, "-c:a pcm_s24le"));
    EXPECT_EQ(s24.source.Frames(), 44100u);
    EXPECT_NEAR(PeakOf(s24.source), kTonePeak, 2);

    TrackSlot at48k;
    OpenOk(at48k, Tone("48k.wav", 1, "-ar 48000"));
    EXPECT_NEAR(at48k.source.Frames(), 44100.0, 64);
    EXPECT_NEAR(PeakOf(at48k.source), kTonePeak, kTonePeak * 0.03);
    // 1 kHz for one second: 2000 sign changes whatever the rate was.
    const auto* data = reinterpret_cast<const int16_t*>(at48k.source.Data());
    int crossings = 0;
    for (uint32_t i = 1; i < at48k.source.Frames(); ++i) crossings += (data[2 * i] >= 0) != (data[2 * i - 2] >= 0);
    EXPECT_NEAR(crossings, 2000, 4);

    TrackSlot mp3;
    OpenOk(mp3, Tone("tone.mp3", 2, "-b:a 192k"));
    EXPECT_NEAR(mp3.source.Frames(), 88200.0, 2400);
}

TEST_F(TrackOpen, MonoStaysMonoAndTheNextFileInTheSlotDoesNot) {
    TrackSlot slot;
    OpenOk(slot, Wav("mono.wav", Ramp(1000, 1), 1));
    EXPECT_EQ(slot.source.Channels(), 1u);
    EXPECT_EQ(slot.source.BlockAlign(), 2u);
    EXPECT_EQ(slot.source.Frames(), 1000u);
    OpenOk(slot, Wav("stereo.wav", Ramp(1000, 2), 2));
    EXPECT_EQ(slot.source.Channels(), 2u);
    EXPECT_EQ(slot.source.Frames(), 1000u);
}

TEST_F(TrackOpen, MultiChannelFileIsRefused) {
    const std::string path = Tone("six.wav", 0.5, "-af 'pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0'");
    TrackSlot slot;
    slot.SetPath(path);
    EXPECT_FALSE(slot.Open(progress_));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "Multi-channel sound can not be added to a track\nsix.wav: more than two channels");
    EXPECT_FALSE(slot.source.IsOpen());
    EXPECT_EQ(slot.path, path);
    EXPECT_TRUE(progress_.Records().empty());
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(TrackOpen, DisplayNameComesFromGivenNameTitleTagOrFileName) {
    TrackSlot slot;
    OpenOk(slot, Tone("tagged.mp3", 0.5, "-metadata title='Morning Bell'"));
    EXPECT_EQ(slot.source.DisplayName(), "Morning Bell");

    OpenOk(slot, Tone("plain.name.flac", 0.5, ""));
    EXPECT_EQ(slot.source.DisplayName(), "plain.name");

    slot.SetPath(inputs_ + "/tagged.mp3");
    slot.givenName = "My Recording";
    ASSERT_TRUE(slot.Open(progress_));
    EXPECT_EQ(slot.source.DisplayName(), "My Recording");

    // A title longer than the tag limit is cut to 10000 characters.
    OpenOk(slot, Tone("long.flac", 0.5, "-metadata title=" + std::string(12000, 'x')));
    EXPECT_EQ(slot.source.DisplayName(), std::string(10000, 'x'));
}

TEST_F(TrackOpen, UnreadableInputsShowTheErrorAndLeaveTheSlotClosed) {
    std::ofstream(inputs_ + "/noise.mp3") << std::string(5000, '\x5a');
    ASSERT_TRUE(Ffmpeg("-f s16le -ar 44100 -ac 2 -i /dev/null empty.wav"));
    const struct {
        std::string path;
        std::string text;
    } cases[] = {
        {inputs_ + "/missing.wav", "Error opening missing\nmissing.wav: does not exist"},
        {inputs_, "Error opening in\nin: is a folder"},
        {inputs_ + "/noise.mp3", "Error opening noise\nnoise.mp3: not an audio file"},
        {inputs_ + "/empty.wav", "Error opening empty\nempty.wav: not an audio file"},
    };
    for (const auto& c : cases) {
        TrackSlot slot;
        slot.SetPath(c.path);
        EXPECT_FALSE(slot.Open(progress_)) << c.path;
        ASSERT_FALSE(Messages().empty()) << c.path;
        EXPECT_EQ(Messages().back().text, c.text);
        EXPECT_EQ(slot.path, c.path);
        EXPECT_FALSE(slot.source.IsOpen());
    }
    EXPECT_EQ(Messages().size(), std::size(cases));
    EXPECT_TRUE(TempFiles().empty());

    TrackSlot empty;
    EXPECT_FALSE(empty.Open(progress_));
    EXPECT_EQ(Messages().size(), std::size(cases));
}

TEST_F(TrackOpen, CancelInEitherStepLeavesNothingAndSaysNothing) {
    const std::string path = Tone("long.wav", 30, "");
    for (const std::string step : {"Opening: long", "Creating Draw Cache..."}) {
        HeadlessProgressFactory cancelling(CancelPolicy{5, std::nullopt, step});
        TrackSlot slot;
        slot.SetPath(path);
        EXPECT_FALSE(slot.Open(cancelling)) << step;
        EXPECT_EQ(cancelling.Records().back().text, step);
        EXPECT_EQ(cancelling.Records().back().result, kProgressCancelled);
        EXPECT_FALSE(slot.source.IsOpen());
        EXPECT_EQ(slot.source.Frames(), 0u);
        EXPECT_TRUE(Messages().empty());
        EXPECT_TRUE(TempFiles().empty());
    }
}

// A decode that cannot write all of its file fails, removes it and says so once.
void ExpectWriteFailure(const std::string& path) {
    TrackSlot slot;
    slot.SetPath(path);
    HeadlessProgressFactory progress;
    EXPECT_FALSE(slot.Open(progress));
    ASSERT_EQ(progress.Records().size(), 1u);
    EXPECT_EQ(progress.Records()[0].result, kProgressFailed);
    EXPECT_FALSE(slot.source.IsOpen());
}

TEST_F(TrackOpen, FileSizeLimitDuringDecodeFailsTheOpen) {
    const std::string path = Tone("ten.wav", 10, "");
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = old;
    limited.rlim_cur = 64 * 1024 + 1000;  // not a multiple of the write size: a short write first
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    ExpectWriteFailure(path);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "Error opening ten");
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(TrackOpen, FullDiskDuringDecodeFailsTheOpen) {
    const std::string path = Tone("ten.wav", 10, "");
    if (::geteuid() != 0 || ::mount("tmpfs", temp_.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    ExpectWriteFailure(path);
    const std::vector<std::string> left = TempFiles();
    ::umount(temp_.c_str());
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "Error opening ten");
    EXPECT_TRUE(left.empty());
}

}  // namespace
