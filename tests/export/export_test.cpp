// Exporting the marked range into the temporary WAV file.
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "../render/chain_fixture.h"
#include "audiosvc/audiosvc.h"
#include "engine/progress.h"
#include "engine/render_chain.h"
#include "engine/saver.h"
#include "engine/temp_files.h"
#include "platform/clock.h"

namespace {

namespace fs = std::filesystem;

int16_t Ramp(uint32_t frame, uint32_t channel) {
    const auto value = static_cast<int16_t>(frame % 20000);
    return channel == 0 ? value : static_cast<int16_t>(-value);
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class Export : public ChainFixture {
protected:
    bool Prepare(int64_t start, int64_t end) {
        timeline_.SetMarkers(start, end);
        return saver_.PrepareExport(timeline_, progress_, exported_);
    }
    RingtoneSaver saver_;
    TempFile exported_;
};

TEST_F(Export, WritesTheHeaderAndTheRangeAsTheChainRendersIt) {
    UseTrack(1, StereoFrames(3 * 44100, Ramp));
    bool stopped = false;
    timeline_.SetStopPlayback([&] { stopped = true; });
    ASSERT_TRUE(Prepare(1000, 1000 + 50000));
    EXPECT_TRUE(stopped) << "the preview stops first";
    EXPECT_EQ(timeline_.PlayStart(), 1000);
    EXPECT_EQ(timeline_.PlayEnd(), 51000);
    ASSERT_EQ(progress_.Records().size(), 3u);  // open, draw cache, export
    EXPECT_EQ(progress_.Records()[2].text, "Preparing for Export...");
    EXPECT_EQ(progress_.Records()[2].lastPercent, 100u);

    const std::vector<uint8_t> bytes = ReadAll(exported_.Path());
    ASSERT_EQ(bytes.size(), 44u + 4 * 50000);
    const auto header = MakeExportWavHeader(RingtoneTimeline::MixFormat().Format, 50000);
    EXPECT_TRUE(std::equal(header.begin(), header.end(), bytes.begin()));
    std::vector<int16_t> samples(2 * 50000);
    std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
    for (size_t f : {size_t{0}, size_t{1023}, size_t{1024}, size_t{40000}, size_t{49999}}) {
        EXPECT_NEAR(samples[2 * f], Ramp(static_cast<uint32_t>(1000 + f), 0), 1) << f;
        EXPECT_NEAR(samples[2 * f + 1], Ramp(static_cast<uint32_t>(1000 + f), 1), 1) << f;
    }

    ASSERT_TRUE(saver_.AdoptExport(std::move(exported_)));
    EXPECT_EQ(saver_.ExportFrames(), 50000u);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Export, MarkersInEitherOrderGiveTheSameRange) {
    UseTrack(1, StereoFrames(3 * 44100, Ramp));
    ASSERT_TRUE(Prepare(100000, 50000));
    ASSERT_TRUE(saver_.AdoptExport(std::move(exported_)));
    EXPECT_EQ(saver_.ExportFrames(), 50000u);
}

TEST_F(Export, RangeUnderOneSecondIsRefusedWithAWarning) {
    UseTrack(1, StereoFrames(3 * 44100, Ramp));
    EXPECT_FALSE(Prepare(0, 44099));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "Please select a minimum of one\nsecond length track to proceed");
    EXPECT_EQ(Messages()[0].type & MB_ICONMASK, MB_ICONWARNING);
    EXPECT_TRUE(exported_.Path().empty());
    EXPECT_TRUE(Prepare(0, 44100)) << "one second is enough";
}

TEST_F(Export, AChainThatCannotOpenFailsWithTheExportMessage) {
    UseTrack(1, StereoFrames(3 * 44100, Ramp));
    RingtoneTimeline detached;
    detached.SetTracks(&slots_[0], nullptr);
    detached.SetProjectLength(3 * 44100);
    detached.SetMarkers(0, 2 * 44100);
    EXPECT_FALSE(saver_.PrepareExport(detached, progress_, exported_));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "Error preparing file for export");
}

TEST_F(Export, CancelLeavesNoFileAndNoMessage) {
    UseTrack(1, StereoFrames(20 * 44100, Ramp));
    HeadlessProgressFactory cancelling(
        {.atPercent = 10, .afterMs = std::nullopt, .onlyText = "Preparing for Export..."});
    timeline_.SetMarkers(0, 20 * 44100);
    EXPECT_FALSE(saver_.PrepareExport(timeline_, cancelling, exported_));
    ASSERT_EQ(cancelling.Records().size(), 1u);
    EXPECT_EQ(cancelling.Records()[0].result, kProgressCancelled);
    EXPECT_TRUE(Messages().empty());
    for (const std::string& name : TempFiles()) EXPECT_EQ(name.rfind("qosrc", 0), 0u) << name;
}

TEST_F(Export, AShortWriteFailsAndRemovesTheFile) {
    UseTrack(1, StereoFrames(10 * 44100, Ramp));
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = old;
    limited.rlim_cur = 100000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool exported = Prepare(0, 5 * 44100);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(exported);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "Error preparing file for export");
    for (const std::string& name : TempFiles()) EXPECT_EQ(name.rfind("qosrc", 0), 0u) << name;
}

TEST_F(Export, TakenTemporaryNamesAreSkippedAndKept) {
    UseTrack(1, StereoFrames(2 * 44100, Ramp));
    // Every name the next seconds would give is taken by a file of someone else.
    const uint32_t tick = TickCountMs();
    std::vector<std::string> taken;
    for (uint32_t n = tick; n < tick + 3000; ++n) {
        taken.push_back(temp_ + "/qoexp" + std::to_string(static_cast<int32_t>(n)) + ".wav");
        std::ofstream(taken.back()) << "mine";
    }
    ASSERT_TRUE(Prepare(0, 44100));
    EXPECT_EQ(std::find(taken.begin(), taken.end(), exported_.Path()), taken.end());
    EXPECT_EQ(fs::file_size(exported_.Path()), 44u + 4 * 44100);
    for (const std::string& path : {taken.front(), taken.back()}) {
        std::ifstream file(path);
        std::string text;
        file >> text;
        EXPECT_EQ(text, "mine");
    }
}

TEST_F(Export, AnEffectWithLatencyKeepsTheRangeLength) {
    LoadRealEffects();
    UseTrack(1, StereoFrames(4 * 44100, Ramp));
    ASSERT_TRUE(AddChainEffect(tree_, Effect("Equalizer")));
    ASSERT_TRUE(Prepare(0, 3 * 44100));
    ASSERT_TRUE(saver_.AdoptExport(std::move(exported_)));
    EXPECT_EQ(saver_.ExportFrames(), 3u * 44100);
}

}  // namespace
