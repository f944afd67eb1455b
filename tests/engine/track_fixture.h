// Shared by the engine tests: a private folder per test with TMPDIR pointing into it,
// inputs made by the ffmpeg command-line tool, and the messages the engine shows.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/progress.h"
#include "engine/track.h"

struct ShownMessage {
    std::string text;
    uint32_t type;
};

class TrackFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs "ffmpeg -y <arguments>" in the input folder; true on success.
    bool Ffmpeg(const std::string& arguments);
    // Writes interleaved 16-bit samples as a WAV file (through ffmpeg) and returns its path.
    std::string Wav(const std::string& name, const std::vector<int16_t>& samples, int channels);
    // A two-channel 1 kHz sine at a quarter of full scale, made by ffmpeg into "<name>" with
    // extra output options; returns its path.
    std::string Tone(const std::string& name, double seconds, const std::string& outputOptions);
    // Opens a slot on the path and expects it to succeed without a message.
    void OpenOk(TrackSlot& slot, const std::string& path);

    std::vector<std::string> TempFiles() const;  // what is left in TMPDIR
    static const std::vector<ShownMessage>& Messages();

    std::string root_;
    std::string inputs_;
    std::string temp_;
    HeadlessProgressFactory progress_;
};
