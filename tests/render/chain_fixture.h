// Shared by the render, export and command-line tests: tracks with known samples, the
// render chain wired as the program wires it, the real effect plug-ins, and decoding a
// made file back with the ffmpeg tool.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "../engine/track_fixture.h"
#include "contracts/provider_api.h"
#include "effecttree/effect_node.h"
#include "effecttree/effect_tree.h"
#include "engine/render_chain.h"
#include "engine/track.h"

// Interleaved 16-bit stereo frames; sample(frame, channel) gives each value.
std::vector<int16_t> StereoFrames(uint32_t frames, const std::function<int16_t(uint32_t, uint32_t)>& sample);

// A player face for the preview pulls with a settable repeat flag; remembers the last
// position it was given.
class TestPlayer : public IPreviewPlayer {
public:
    bool repeat = false;
    uint32_t lastPosition = 0;
    bool IsRepeat() override { return repeat; }
    uint32_t GetPositionRange() override { return 1000; }
    int SetPosition(uint32_t position) override {
        lastPosition = position;
        return 1;
    }
};

class ChainFixture : public TrackFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens slot (track 1 or 2) on a WAV file of the frames and places it on the timeline;
    // the project length becomes the end of the last track.
    void UseTrack(int number, const std::vector<int16_t>& frames, int channels = 2);
    // Loads the real plug-ins and builds the tree from the shipped description.
    void LoadRealEffects();
    // The offered effect with the caption (fails the test when there is none).
    CEffectNode& Effect(const std::string& caption);

    // Runs the export pulls over the marked range; returns the chain's frames as 16-bit.
    std::vector<int16_t> ExportPcm();
    // Decodes a file with the ffmpeg tool to interleaved 16-bit at 44100 Hz.
    std::vector<int16_t> DecodeWithFfmpeg(const std::string& path, int channels);
    // "ffprobe -show_entries stream=<entries>" of the file's audio stream, as key=value lines.
    std::string Probe(const std::string& path, const std::string& entries);

    CEffectTree tree_;
    CVolumeEffect volume_;
    TrackSlot slots_[2];
    RingtoneTimeline timeline_;
};

// The mean absolute value of channel 0 over [first, first + frames) of interleaved stereo.
double MeanLevel(const std::vector<int16_t>& stereo, size_t first, size_t frames);
