// The four real plug-ins run through the tree with the shipped description.
#include <dlfcn.h>
#include <strings.h>

#include <cstring>
#include <memory>
#include <set>

#include "effecttree/effect_node.h"
#include "test_support.h"

namespace {

constexpr uint32_t kBlock = 1024;

// Noise in [-0.5, 0.5) from a fixed seed, on every channel, for ever; silence when muted.
class NoiseSource final : public CAudioAbstract {
public:
    void Mute(bool mute) { m_mute = mute; }
    void Restart() { m_state = kSeed; }
    uint32_t GetSoundData(_SOUNDDATAEX_* block) override {
        for (uint32_t i = 0; i < block->capacity; ++i)
            for (float* channel : block->channels) channel[i] = m_mute ? 0.0f : Next();
        block->frames = block->capacity;
        return block->frames;
    }

private:
    float Next() {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<float>(m_state >> 8) / 16777216.0f - 0.5f;
    }
    static constexpr uint32_t kSeed = 12345;
    uint32_t m_state = kSeed;
    bool m_mute = false;
};

class RealEffects : public ShippedTree {
protected:
    void SetUp() override {
        ShippedTree::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        tree.SetAudioInput(&source);
        ASSERT_EQ(tree.OpenStream(&kWorkingFormat), EFF_OK);
        block.Allocate(2, kBlock);
    }

    void TearDown() override { tree.CloseStream(); }

    CEffectNode* Node(const char* caption) {
        CEffectNode* node = group->FindChildByName(caption, false);
        EXPECT_NE(node, nullptr) << caption;
        return node;
    }

    // Pulls one full block; returns its largest magnitude.
    float PullPeak() {
        tree.LockMorphStream();
        const uint32_t frames = tree.GetSoundData(block.get());
        tree.UnlockMorphStream();
        EXPECT_EQ(frames, kBlock);
        float peak = 0.0f;
        for (float* channel : block->channels)
            for (uint32_t i = 0; i < frames; ++i) {
                EXPECT_TRUE(std::isfinite(channel[i]));
                peak = std::max(peak, std::fabs(channel[i]));
            }
        return peak;
    }

    NoiseSource source;
    SoundBlock block;
};

TEST_F(RealEffects, EachEffectRunsAndTheDelaysAndWahChangeTheSound) {
    for (const char* caption : {"Equalizer", "Ping-Pong Delay", "Delay", "Wah-Wah"}) {
        SCOPED_TRACE(caption);
        NoiseSource reference;
        SoundBlock input(2, kBlock);
        CEffectNode* node = Node(caption);
        ASSERT_NE(node, nullptr);
        AddToChain(tree, node);
        double difference = 0.0;
        double energy = 0.0;
        for (int b = 0; b < 40; ++b) {
            PullPeak();
            reference.GetSoundData(input.get());
            for (size_t c = 0; c < 2; ++c)
                for (uint32_t i = 0; i < kBlock; ++i) {
                    difference = std::max(difference, std::fabs(double(block->channels[c][i]) - input->channels[c][i]));
                    energy += double(block->channels[c][i]) * block->channels[c][i];
                }
        }
        EXPECT_GT(energy, 0.0);
        // The equalizer at unity gain gives the input back, aligned; the others add to it.
        if (std::string(caption) != "Equalizer") {
            EXPECT_GT(difference, 0.01);
        }
        RemoveFromChain(tree, node);
        tree.CloseStream();
        source.Restart();
        ASSERT_EQ(tree.OpenStream(&kWorkingFormat), EFF_OK);
    }
}

TEST_F(RealEffects, TheFourChainedDeliverEveryBlock) {
    for (const char* caption : {"Equalizer", "Ping-Pong Delay", "Delay", "Wah-Wah"}) AddToChain(tree, Node(caption));
    EXPECT_EQ(tree.GetTreeEntryPoint()->EffectCount(), 4);
    float peak = 0.0f;
    for (int b = 0; b < 100; ++b) peak = std::max(peak, PullPeak());
    EXPECT_GT(peak, 0.0f);
}

TEST_F(RealEffects, ClearingADelayLeavesNoEchoBehind) {
    for (const char* caption : {"Ping-Pong Delay", "Delay"}) {
        SCOPED_TRACE(caption);
        CEffectNode* node = Node(caption);
        ASSERT_NE(node, nullptr);
        AddToChain(tree, node);
        // With its state kept, the delay echoes the noise into the silence that follows.
        for (int b = 0; b < 20; ++b) PullPeak();
        source.Mute(true);
        EXPECT_GT(PullPeak(), 0.0f);
        source.Mute(false);
        for (int b = 0; b < 20; ++b) PullPeak();
        source.Mute(true);
        node->GetEffect()->ClearState();
        for (int b = 0; b < 200; ++b) ASSERT_EQ(PullPeak(), 0.0f) << "block " << b;
        source.Mute(false);
        RemoveFromChain(tree, node);
    }
}

// Each Settings element of the shipped description holds exactly the keys the plug-in
// itself saves, so no value is misspelt and silently ignored.
TEST_F(RealEffects, TheDescriptionsSettingsUseThePluginsOwnKeys) {
    const enXml* groupElement = document.FindChild("Group");
    ASSERT_NE(groupElement, nullptr);
    CEffectNode* node = group->GetChild();
    for (const enXml* effect = groupElement->FirstChildElement(); effect; effect = effect->NextSiblingElement()) {
        if (strcasecmp(effect->GetName().c_str(), "Effect") != 0) continue;
        ASSERT_NE(node, nullptr);
        std::string library;
        ASSERT_TRUE(effect->GetAttribute("Library", library));
        SCOPED_TRACE(library);
        const auto close = [](void* handle) { dlclose(handle); };
        std::unique_ptr<void, decltype(close)> handle(
            dlopen((kRealPluginDir + "/" + library).c_str(), RTLD_NOW | RTLD_LOCAL), close);
        ASSERT_NE(handle, nullptr);
        PFN_SavePresetXml savePresetXml = nullptr;
        void* symbol = dlsym(handle.get(), "SavePresetXml");
        ASSERT_NE(symbol, nullptr);
        std::memcpy(&savePresetXml, &symbol, sizeof symbol);

        enXml saved("Settings");
        ASSERT_NE(savePresetXml(&saved, node->GetSettings()), 0);
        std::set<std::string> savedKeys;
        for (const enXml* key = saved.FirstChildElement(); key; key = key->NextSiblingElement())
            savedKeys.insert(key->GetName());
        std::set<std::string> shippedKeys;
        const enXml* settings = effect->FindChild("Settings");
        ASSERT_NE(settings, nullptr);
        for (const enXml* key = settings->FirstChildElement(); key; key = key->NextSiblingElement())
            if (!key->GetName().empty()) shippedKeys.insert(key->GetName());
        EXPECT_EQ(shippedKeys, savedKeys);
        node = node->GetNext();
    }
    EXPECT_EQ(node, nullptr);
}

}  // namespace
