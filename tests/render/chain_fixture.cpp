#include "chain_fixture.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "audiosvc/audiosvc.h"
#include "effecttree/effect_node.h"
#include "engine/render_chain.h"
#include "engine/track.h"
#include "xml/xml.h"

std::vector<int16_t> StereoFrames(uint32_t frames, const std::function<int16_t(uint32_t, uint32_t)>& sample) {
    std::vector<int16_t> samples(static_cast<size_t>(frames) * 2);
    for (uint32_t f = 0; f < frames; ++f)
        for (uint32_t k = 0; k < 2; ++k) samples[2 * f + k] = sample(f, k);
    return samples;
}

double MeanLevel(const std::vector<int16_t>& stereo, size_t first, size_t frames) {
    double sum = 0;
    for (size_t f = first; f < first + frames; ++f) sum += std::abs(stereo.at(2 * f));
    return sum / static_cast<double>(frames);
}

void ChainFixture::SetUp() {
    TrackFixture::SetUp();
    volume_.SetEffectTree(&tree_);
    timeline_.AttachChain(&tree_, &volume_);
    timeline_.SetTracks(&slots_[0], &slots_[1]);
}

void ChainFixture::TearDown() {
    timeline_.CloseChain();
    for (TrackSlot& slot : slots_) slot.Clear();
    TrackFixture::TearDown();
}

void ChainFixture::UseTrack(int number, const std::vector<int16_t>& frames, int channels) {
    const std::string path = Wav("track" + std::to_string(number) + ".wav", frames, channels);
    OpenOk(slots_[number - 1], path);
    timeline_.SetProjectLength(timeline_.TracksEnd());
}

void ChainFixture::LoadRealEffects() {
    CEffectManager* manager = GetEffectManager();
    manager->SetPluginFolder(std::string(MORVANE_BIN_DIR) + "/plugins");
    ASSERT_EQ(manager->Initialize(), 4) << "the four effect plug-ins must be built";
    enXml description;
    ASSERT_TRUE(description.LoadFile(std::string(MORVANE_SOURCE_DIR) + "/data/Language/eng/effects_single_kel.xml"));
    ASSERT_TRUE(tree_.BuildTree(&description, 666));
}

CEffectNode& ChainFixture::Effect(const std::string& caption) {
    CEffectNode* group = tree_.m_Root.FindChildByName("Single Effects", true);
    CEffectNode* node = group ? group->FindChildByName(caption, false) : nullptr;
    if (node == nullptr) throw std::runtime_error("no effect " + caption);
    return *node;
}

std::vector<int16_t> ChainFixture::ExportPcm() {
    EXPECT_EQ(timeline_.SetUpExport(), EFF_OK);
    const WAVEFORMATEX& format = RingtoneTimeline::MixFormat().Format;
    SoundBlock block(2, 1024);
    std::vector<int16_t> pcm;
    for (uint32_t n; (n = timeline_.PullExport(block.get())) > 0;) {
        const size_t at = pcm.size();
        pcm.resize(at + static_cast<size_t>(n) * 2);
        SD2MME(block.get(), 0, n, pcm.data() + at, &format);
    }
    timeline_.CloseChain();
    return pcm;
}

std::vector<int16_t> ChainFixture::DecodeWithFfmpeg(const std::string& path, int channels) {
    const std::string raw = inputs_ + "/decoded.raw";
    EXPECT_TRUE(Ffmpeg("-i '" + path + "' -f s16le -acodec pcm_s16le -ar 44100 -ac " + std::to_string(channels) + " '" +
                       raw + "'"));
    std::ifstream file(raw, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    std::remove(raw.c_str());
    return samples;
}

std::string ChainFixture::Probe(const std::string& path, const std::string& entries) {
    const std::string command = "ffprobe -v error -select_streams a:0 -show_entries stream=" + entries +
                                " -of default=noprint_wrappers=1 '" + path + "'";
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, pipe)) output += line;
        ::pclose(pipe);
    }
    return output;
}
