// The effect tree's chain on 44.1 kHz stereo noise in blocks of 1024 frames: nothing, each
// effect alone and the four chained. The counter x_realtime is seconds of audio per second.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "effecttree/complex_effect.h"
#include "effecttree/effect_node.h"
#include "effecttree/effect_tree.h"
#include "xml/xml.h"

namespace {

constexpr uint32_t kBlock = 1024;
const char* const kCaptions[] = {"Equalizer", "Ping-Pong Delay", "Delay", "Wah-Wah"};

// One second of stereo noise, played round and round.
class LoopedNoise final : public CAudioAbstract {
public:
    LoopedNoise() : m_samples(2 * kWorkingRate) {
        uint32_t state = 1;
        for (float& sample : m_samples) {
            state = state * 1664525u + 1013904223u;
            sample = static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
        }
    }
    uint32_t GetSoundData(_SOUNDDATAEX_* block) override {
        for (uint32_t i = 0; i < block->capacity; ++i, m_position = (m_position + 1) % kWorkingRate)
            for (size_t c = 0; c < block->channels.size(); ++c) block->channels[c][i] = m_samples[2 * m_position + c];
        block->frames = block->capacity;
        return block->frames;
    }

private:
    std::vector<float> m_samples;
    uint32_t m_position = 0;
};

// Runs the chain made of the named effects.
void RunChain(benchmark::State& state, const std::vector<std::string>& captions) {
    const std::string pluginDir = std::string(MORVANE_BIN_DIR) + "/plugins";
    GetEffectManager()->SetPluginFolder(pluginDir);
    if (GetEffectManager()->Initialize() < 4) {
        state.SkipWithError(("the four plug-ins are not all in " + pluginDir).c_str());
        return;
    }
    enXml document;
    CEffectTree tree;
    if (!document.LoadFile(std::string(MORVANE_SOURCE_DIR) + "/data/Language/eng/effects_single_kel.xml") ||
        !tree.BuildTree(&document, 666)) {
        state.SkipWithError("the effects description does not load");
        return;
    }
    CComplexEffect* chain = tree.GetTreeEntryPoint();
    for (const std::string& caption : captions) {
        CEffectNode* node = tree.m_Root.FindChildByName(caption, true);
        if (!node) {
            state.SkipWithError(("no effect " + caption).c_str());
            return;
        }
        chain->AddEffect(nullptr, node->GetEffect());
        node->GetEffect()->SetActive(true);
    }
    chain->SetActive(true);
    LoopedNoise input;
    tree.SetAudioInput(&input);
    if (tree.OpenStream(&kWorkingFormat) != EFF_OK) {
        state.SkipWithError("the stream does not open");
        return;
    }
    SoundBlock block(2, kBlock);
    for (auto _ : state) {
        tree.LockMorphStream();
        benchmark::DoNotOptimize(tree.GetSoundData(block.get()));
        tree.UnlockMorphStream();
        benchmark::ClobberMemory();
    }
    tree.CloseStream();
    state.counters["x_realtime"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlock / kWorkingRate,
                                                      benchmark::Counter::kIsRate);
}

void BM_PassThrough(benchmark::State& state) { RunChain(state, {}); }

void BM_OneEffect(benchmark::State& state) {
    const char* caption = kCaptions[state.range(0)];
    state.SetLabel(caption);
    RunChain(state, {caption});
}

void BM_FourChained(benchmark::State& state) {
    RunChain(state, {kCaptions[0], kCaptions[1], kCaptions[2], kCaptions[3]});
}

}  // namespace

BENCHMARK(BM_PassThrough);
BENCHMARK(BM_OneEffect)->DenseRange(0, 3);
BENCHMARK(BM_FourChained);
BENCHMARK_MAIN();
