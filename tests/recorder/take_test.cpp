// The recording's take: its file, the blocks it is passed in, encoding it into place and a
// take write that fails.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "contracts/provider_api.h"
#include "engine/recording.h"
#include "platform/file_placement.h"
#include "tests/platform/scoped_env.h"
#include "tests/platform_audio/audio_test_support.h"

namespace {

// Bytes that differ from their neighbours and from silence.
std::vector<uint8_t> Pattern(size_t bytes) {
    std::vector<uint8_t> data(bytes);
    for (size_t i = 0; i < bytes; ++i) data[i] = static_cast<uint8_t>(1 + i * 7 % 251);
    return data;
}

// The samples of a file as the provider decodes them, 44100 Hz 16-bit stereo.
std::vector<uint8_t> Decoded(const std::string& path) {
    WAVEFORMATEXTENSIBLE format = RecordingSession::Format();
    uint32_t length = 0;
    const uint32_t reader = QoOpenFile(path.c_str(), &format, &length, QoModeDecode);
    std::vector<uint8_t> bytes;
    if (reader == 0) return bytes;
    std::vector<uint8_t> block(4096 * 4);
    for (uint32_t first = 0;;) {
        const uint32_t frames = QoGetFileData(reader, first, 4096, block.data(), static_cast<uint32_t>(block.size()));
        if (frames == 0) break;
        bytes.insert(bytes.end(), block.begin(), block.begin() + frames * 4);
        first += frames;
    }
    QoCloseFile(reader);
    return bytes;
}

size_t EntriesIn(const std::string& folder) {
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++entries;
    return entries;
}

// Takes in a private temporary folder, files written to another.
class TakeTest : public testing::Test {
protected:
    void Fill(RecorderTake& take, const std::vector<uint8_t>& data) {
        ASSERT_TRUE(take.Create());
        ASSERT_EQ(take.Append(data.data(), static_cast<uint32_t>(data.size())), RecorderTake::AppendResult::Appended);
    }

    ScratchFolder temp_;
    ScratchFolder out_;
    // Set after both folders are made, so that neither lands in temp_.
    ScopedEnv tempVariable_{"TMPDIR", temp_.Path()};
};

TEST_F(TakeTest, ATakeOfWholeBlocksEndsWithAnEmptyOne) {
    struct Block {
        uint32_t frames;
        uint32_t bytes;
    };
    const auto blocksOf = [&](size_t size, std::vector<uint8_t>* passed) {
        RecorderTake take;
        const std::vector<uint8_t> data = Pattern(size);
        Fill(take, data);
        std::vector<Block> blocks;
        EXPECT_TRUE(PassTakeBlocks(take, 4, [&](const void* block, uint32_t frames, uint32_t bytes) {
            blocks.push_back({frames, bytes});
            const auto* first = static_cast<const uint8_t*>(block);
            passed->insert(passed->end(), first, first + bytes);
            return true;
        }));
        EXPECT_EQ(*passed, data) << "every byte once, in order";
        return blocks;
    };
    std::vector<uint8_t> passed;
    const std::vector<Block> whole = blocksOf(16384 * 3, &passed);
    ASSERT_EQ(whole.size(), 4u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(whole[i].bytes, 16384u);
        EXPECT_EQ(whole[i].frames, 4096u);
    }
    EXPECT_EQ(whole[3].bytes, 0u);
    EXPECT_EQ(whole[3].frames, 0u);

    passed.clear();
    const std::vector<Block> partial = blocksOf(16384 + 400, &passed);
    ASSERT_EQ(partial.size(), 2u);
    EXPECT_EQ(partial[1].bytes, 400u);
    EXPECT_EQ(partial[1].frames, 100u);

    // A sink that fails stops the pass; a take without a file or a format without frames
    // passes nothing.
    RecorderTake take;
    Fill(take, Pattern(16384 * 2));
    int calls = 0;
    EXPECT_FALSE(PassTakeBlocks(take, 4, [&](const void*, uint32_t, uint32_t) { return ++calls < 1; }));
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(PassTakeBlocks(take, 0, [&](const void*, uint32_t, uint32_t) { return ++calls > 0; }));
    take.Discard();
    EXPECT_FALSE(PassTakeBlocks(take, 4, [&](const void*, uint32_t, uint32_t) { return ++calls > 0; }));
    EXPECT_EQ(calls, 1);
}

TEST_F(TakeTest, AnEncodedTakeHoldsItsSamplesAndReplacesOnlyWhenAsked) {
    RecorderTake take;
    const std::vector<uint8_t> data = Pattern(16384 * 2 + 400);
    Fill(take, data);
    const std::string wav = out_ / "take.wav";
    ASSERT_TRUE(EncodeTake(take, wav, RecordingSession::Format(), false));
    EXPECT_EQ(Decoded(wav), data);

    const std::string older = out_.Write("older.wav", "an older file");
    const PlaceOutcome kept = EncodeTake(take, older, RecordingSession::Format(), false);
    EXPECT_EQ(kept.result, PlaceResult::Exists);
    EXPECT_EQ(ReadFileText(older), "an older file");
    ASSERT_TRUE(EncodeTake(take, older, RecordingSession::Format(), true));
    EXPECT_EQ(Decoded(older), data);
    EXPECT_EQ(EntriesIn(out_.Path()), 2u) << "no hidden file is left behind";
    EXPECT_EQ(take.Size(), data.size()) << "the take stays for another save";
}

TEST_F(TakeTest, AFailedEncodingLeavesTheDestinationAsItWas) {
    RecorderTake take;
    Fill(take, Pattern(16384));
    const std::string kept = out_.Write("kept.xyz", "an older file");
    const PlaceOutcome unknown = EncodeTake(take, kept, RecordingSession::Format(), true);
    EXPECT_EQ(unknown.result, PlaceResult::Failed) << "no coder for the type";
    EXPECT_FALSE(unknown.error.empty());
    EXPECT_FALSE(EncodeTake(take, out_ / "missing/a.wav", RecordingSession::Format(), true));
    EXPECT_EQ(ReadFileText(kept), "an older file");
    EXPECT_EQ(EntriesIn(out_.Path()), 1u) << "no partial file is left behind";

    RecorderTake none;
    EXPECT_FALSE(EncodeTake(none, out_ / "none.wav", RecordingSession::Format(), true));
    EXPECT_EQ(EntriesIn(out_.Path()), 1u);
}

TEST_F(TakeTest, AWriteThatFailsLeavesTheTakeAtItsLastWholeAppend) {
    RecorderTake take;
    ASSERT_TRUE(take.Create());
    EXPECT_EQ(take.Path().rfind(temp_.Path() + "/qorec", 0), 0u) << take.Path();
    EXPECT_EQ(take.Path().substr(take.Path().size() - 4), ".tmp");
    struct stat info {};
    ASSERT_EQ(::stat(take.Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    const std::vector<uint8_t> data = Pattern(16384);
    // The file size limit stands in for a full disk.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = 16384 * 2 + 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const auto first = take.Append(data.data(), 16384);
    const auto second = take.Append(data.data(), 16384);
    const auto third = take.Append(data.data(), 16384);
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(first, RecorderTake::AppendResult::Appended);
    EXPECT_EQ(second, RecorderTake::AppendResult::Appended);
    EXPECT_EQ(third, RecorderTake::AppendResult::Failed);
    EXPECT_EQ(take.Size(), 16384u * 2);
    EXPECT_EQ(std::filesystem::file_size(take.Path()), 16384u * 2) << "the partial write is cut back";
    EXPECT_EQ(take.Append(data.data(), 16384), RecorderTake::AppendResult::Appended)
        << "later appends go on at the end";
    EXPECT_EQ(audiotest::ReadBytes(take.Path()).size(), 16384u * 3);

    const std::string path = take.Path();
    take.Discard();
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(take.Append(data.data(), 16384), RecorderTake::AppendResult::NoTake);
    EXPECT_FALSE(take.Read(nullptr, 0)) << "no take to read";
}

TEST_F(TakeTest, ReadsFollowTheirOwnPositionWhileAppendsGoOn) {
    RecorderTake take;
    const std::vector<uint8_t> data = Pattern(3000);
    Fill(take, std::vector<uint8_t>(data.begin(), data.begin() + 1000));
    std::vector<uint8_t> read(600);
    ASSERT_EQ(take.Read(read.data(), 600), 600u);
    EXPECT_TRUE(std::equal(read.begin(), read.end(), data.begin()));
    // An append meanwhile adds to the end, not at the read position.
    ASSERT_EQ(take.Append(data.data() + 1000, 2000), RecorderTake::AppendResult::Appended);
    ASSERT_EQ(take.Read(read.data(), 600), 600u);
    EXPECT_TRUE(std::equal(read.begin(), read.end(), data.begin() + 600));
    take.Rewind();
    std::vector<uint8_t> all(4000);
    ASSERT_EQ(take.Read(all.data(), 4000), 3000u) << "only what the take holds";
    all.resize(3000);
    EXPECT_EQ(all, data);
    EXPECT_EQ(take.Read(all.data(), 100), 0u) << "the end";
}

}  // namespace
