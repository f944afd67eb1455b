// Several threads using the provider at once: independent readers, and a handle closed
// while another thread still reads from it.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "provider_support.h"

using namespace provider_test;

namespace {

class Threads : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_ / "tone.mp3";
        ASSERT_TRUE(Ffmpeg(SineSource({1000, 700}, 44100, 2) + " -b:a 192k " + path_));
        whole_ = DecodeAll(path_);
        ASSERT_GT(whole_.frames(), 80000u);
    }
    uint32_t Open() {
        WAVEFORMATEXTENSIBLE f = kWorkingFormat;
        uint32_t length = 0;
        return QoOpenFile(path_.c_str(), &f, &length, QoModeDecode);
    }
    ScratchFolder dir_;
    std::string path_;
    Decoded whole_;
};

TEST_F(Threads, SeveralReadersDecodeAtOnce) {
    std::vector<std::vector<int16_t>> results(4);
    std::vector<std::thread> threads;
    for (auto& result : results) threads.emplace_back([this, &result] { result = DecodeAll(path_).samples; });
    for (auto& t : threads) t.join();
    for (const auto& result : results) EXPECT_TRUE(result == whole_.samples);
}

TEST_F(Threads, ClosingWhileAnotherThreadReadsIsSafe) {
    for (int round = 0; round < 5; ++round) {
        const uint32_t h = Open();
        ASSERT_NE(h, 0u);
        std::thread reader([h] {
            std::vector<int16_t> buf(2048);
            uint32_t position = 0;
            while (const uint32_t n = QoGetFileData(h, position, 1024, buf.data(), 4096)) position += n;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(round));
        QoCloseFile(h);
        reader.join();
    }
}

}  // namespace
