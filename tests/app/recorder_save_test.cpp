// Saving the recorder's take: the blocks handed to the coder, the type offered from the
// provider settings, the save dialog's filter, the encoded file and a take write that fails.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/src/recorder_format.h"
#include "app/src/recorder_save.h"
#include "app/src/recorder_take.h"
#include "tests/platform/scratch.h"
#include "tests/platform/scoped_env.h"
#include "tests/platform_audio/audio_test_support.h"

namespace {

// Bytes that differ from their neighbours and from silence.
std::vector<uint8_t> Pattern(size_t bytes) {
    std::vector<uint8_t> data(bytes);
    for (size_t i = 0; i < bytes; ++i) data[i] = static_cast<uint8_t>(1 + i * 7 % 251);
    return data;
}

// A take in a private temporary folder; LastExt from a private machine-wide key store.
class RecorderSaveTest : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(m_machine / "morvane");
    }
    void StoreLastExt(const std::string& line) {
        m_machine.Write("morvane/registry.ini",
                        "[" + RecorderProvidersKey() + "]\n" + (line.empty() ? "" : "LastExt=" + line + "\n"));
    }
    void Fill(RecorderTake& take, const std::vector<uint8_t>& data) {
        ASSERT_TRUE(take.Create());
        ASSERT_EQ(take.Append(data.data(), static_cast<uint32_t>(data.size())), RecorderTake::AppendResult::Appended);
    }

    ScratchFolder m_temp;
    ScratchFolder m_machine;
    ScratchFolder m_out;
    // Set after every folder above is made, so that none of them lands in m_temp.
    ScopedEnv m_tempVariable{"TMPDIR", m_temp.Path()};
    ScopedEnv m_machineVariable{"XDG_CONFIG_DIRS", m_machine.Path()};
};

TEST_F(RecorderSaveTest, ATakeOfWholeBlocksEndsWithAnEmptyOne) {
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

    // A sink that fails stops the pass.
    RecorderTake take;
    Fill(take, Pattern(16384 * 2));
    int calls = 0;
    EXPECT_FALSE(PassTakeBlocks(take, 4, [&](const void*, uint32_t, uint32_t) { return ++calls < 1; }));
    EXPECT_EQ(calls, 1);
}

TEST_F(RecorderSaveTest, TheTypeOfferedComesFromTheProviderSettings) {
    EXPECT_EQ(RecorderSaveExtension(), ".wav") << "no key";
    StoreLastExt("");
    EXPECT_EQ(RecorderSaveExtension(), ".wav") << "no value";
    StoreLastExt("string:\"\"");
    EXPECT_EQ(RecorderSaveExtension(), ".wav") << "an empty value";
    StoreLastExt("string:\"../x\"");
    EXPECT_EQ(RecorderSaveExtension(), ".wav") << "not a plain extension";
    StoreLastExt("string:\"mp3\"");
    EXPECT_EQ(RecorderSaveExtension(), ".mp3");

    EXPECT_EQ(RecorderSaveFilter(".mp3"), "MPEG Layer-3 audio (*.mp3)|*.mp3||");
    EXPECT_EQ(QtFileDialogFilter(RecorderSaveFilter(".mp3")), "MPEG Layer-3 audio (*.mp3)");
    EXPECT_EQ(QtFileDialogFilter(RecorderSaveFilter(".wav")), "Wave audio (*.wav)");
    EXPECT_EQ(QtFileDialogFilter("Audio|*.mp3;*.wav|All (*.*)|*.*||"), "Audio (*.mp3 *.wav);;All (*.*)");
}

TEST_F(RecorderSaveTest, AFailedEncodingLeavesTheDestinationAsItWas) {
    RecorderTake take;
    Fill(take, Pattern(16384));
    const std::filesystem::path kept = m_out.Write("kept.xyz", "an older file");
    EXPECT_FALSE(EncodeTake(take, kept.string(), kRecordFormat)) << "no coder for the type";
    EXPECT_FALSE(EncodeTake(take, (m_out / "missing/a.wav"), kRecordFormat));
    std::ifstream file(kept);
    std::string text;
    std::getline(file, text);
    EXPECT_EQ(text, "an older file");
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(m_out.Path())) ++entries;
    EXPECT_EQ(entries, 1u) << "no partial file is left behind";

    // A complete file replaces the old one.
    const std::filesystem::path wav = m_out.Write("take.wav", "an older file");
    ASSERT_TRUE(EncodeTake(take, wav.string(), kRecordFormat));
    EXPECT_GT(std::filesystem::file_size(wav), 16384u);
}

TEST_F(RecorderSaveTest, AWriteThatFailsLeavesTheTakeAtItsLastWholeAppend) {
    RecorderTake take;
    ASSERT_TRUE(take.Create());
    EXPECT_EQ(take.Path().rfind(m_temp.Path() + "/qorec", 0), 0u) << take.Path();
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
    EXPECT_EQ(take.Append(data.data(), 16384), RecorderTake::AppendResult::Appended) << "later appends go on at the end";
    EXPECT_EQ(audiotest::ReadBytes(take.Path()).size(), 16384u * 3);

    const std::string path = take.Path();
    take.Discard();
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(take.Append(data.data(), 16384), RecorderTake::AppendResult::NoTake);
}

}  // namespace
