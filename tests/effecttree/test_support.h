// Sources, documents and folders shared by the effect tree tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "effecttree/complex_effect.h"
#include "effecttree/effect_node.h"
#include "effecttree/effect_tree.h"
#include "platform/files.h"
#include "platform/key_store.h"
#include "xml/xml.h"

inline const std::string kTestPluginDir = TEST_PLUGIN_DIR;
inline const std::string kRealPluginDir = std::string(MORVANE_BIN_DIR) + "/plugins";
inline const std::string kEffectsFile = std::string(MORVANE_SOURCE_DIR) + "/data/Language/eng/effects_single_kel.xml";

// A distinct, reproducible value for every frame and channel, in [-0.5, 0.5).
inline float RampSample(uint64_t frame, size_t channel) {
    return static_cast<float>((frame * 7 + channel * 131) % 1000) / 1000.0f - 0.5f;
}

// Delivers RampSample values, frame after frame, up to a total (then 0: the end).
class RampSource final : public CAudioAbstract {
public:
    explicit RampSource(uint64_t total = UINT64_MAX) : m_total(total) {}
    uint32_t GetSoundData(_SOUNDDATAEX_* block) override {
        const uint64_t left = m_total - m_position;
        block->frames = static_cast<uint32_t>(std::min<uint64_t>(block->capacity, left));
        for (uint32_t i = 0; i < block->frames; ++i)
            for (size_t c = 0; c < block->channels.size(); ++c) block->channels[c][i] = RampSample(m_position + i, c);
        m_position += block->frames;
        return block->frames;
    }
    uint64_t Position() const { return m_position; }

private:
    uint64_t m_total;
    uint64_t m_position = 0;
};

// Delivers one value on every channel, for ever.
class ConstantSource final : public CAudioAbstract {
public:
    explicit ConstantSource(float value) : m_value(value) {}
    void SetValue(float value) { m_value = value; }
    uint32_t GetSoundData(_SOUNDDATAEX_* block) override {
        for (float* channel : block->channels) std::fill(channel, channel + block->capacity, m_value);
        block->frames = block->capacity;
        return block->frames;
    }

private:
    float m_value;
};

// The effects description of the tests: the test plug-in under several captions.
inline std::string TestDescription(int tag = 666) {
    return "<?xml version=\"1.0\"?>\n"
           "<EffectTree Tag=\"" +
           std::to_string(tag) +
           "\">\n"
           "  <!-- a comment among the elements -->\n"
           "  <Group Caption=\"Single Effects\">\n"
           "    <Effect Caption=\"Half\" Library=\"libtestgain.so\"><Settings><Gain "
           "Value=\"0.5\"/></Settings></Effect>\n"
           "    <Effect Caption=\"Quarter\" Library=\"libtestgain.so\"><Settings><Gain "
           "Value=\"0.25\"/></Settings></Effect>\n"
           "    <Effect Caption=\"Echo\" Library=\"libtestgain.so\"><Settings><Delay "
           "Value=\"3\"/></Settings></Effect>\n"
           "    <Effect Caption=\"Unity\" Library=\"libtestgain.so\"/>\n"
           "    <Effect Caption=\"Missing\" Library=\"libnothere.so\"/>\n"
           "    <Effect Library=\"libtestgain.so\"/>\n"
           "    <Group Caption=\"Nested\">\n"
           "      <effect caption=\"Deep\" library=\"libtestgain.so\"><settings><gain "
           "Value=\"2\"/></settings></effect>\n"
           "    </Group>\n"
           "  </Group>\n"
           "  <Group Caption=\"Other\"/>\n"
           "</EffectTree>\n";
}

inline bool LoadDocument(enXml& document, const std::string& text) {
    return document.LoadMemory(text.data(), text.size());
}

// Loads the plug-ins of a folder into the library's manager.
inline int LoadPluginsFrom(const std::string& folder) {
    GetEffectManager()->SetPluginFolder(folder);
    return GetEffectManager()->Initialize();
}

// The four real plug-ins that are not built yet, as a text for GTEST_SKIP; empty when all are.
inline std::string MissingRealPlugins() {
    std::string missing;
    for (const char* name : {"libequalizer.so", "libRicochet.so", "libTapline.so", "libwahwah.so"})
        if (!FileExists(kRealPluginDir + "/" + name))
            missing += (missing.empty() ? "" : ", ") + kRealPluginDir + "/" + name;
    return missing;
}

// A tree built from the loaded document with the loaded plug-ins, and its "Single Effects"
// group.
class BuiltTreeTest : public ::testing::Test {
protected:
    // Loads the plug-ins of the folder (expecting pluginCount of them), then builds the tree.
    void Build(const std::string& pluginFolder, int pluginCount) {
        ASSERT_EQ(LoadPluginsFrom(pluginFolder), pluginCount);
        ASSERT_TRUE(tree.BuildTree(&document, 666));
        group = tree.m_Root.FindChildByName("Single Effects", true);
        ASSERT_NE(group, nullptr);
    }

    enXml document;
    CEffectTree tree;
    CEffectNode* group = nullptr;
};

// The test plug-in under the captions of TestDescription().
class TestTree : public BuiltTreeTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadDocument(document, TestDescription()));
        Build(kTestPluginDir, 1);
    }
};

// The four real plug-ins with the shipped description; skipped while they are not built.
class ShippedTree : public BuiltTreeTest {
protected:
    void SetUp() override {
        if (const std::string missing = MissingRealPlugins(); !missing.empty())
            GTEST_SKIP() << "plug-ins not built yet: " << missing;
        ASSERT_TRUE(document.LoadFile(kEffectsFile));
        Build(kRealPluginDir, 4);
    }
};

// The working format (44100 Hz, 16-bit, stereo) with another channel count.
inline WAVEFORMATEXTENSIBLE FormatWithChannels(uint16_t channels) {
    WAVEFORMATEXTENSIBLE format = kWorkingFormat;
    format.Format.nChannels = channels;
    format.Format.nBlockAlign = static_cast<uint16_t>(channels * 2);
    format.Format.nAvgBytesPerSec = format.Format.nBlockAlign * format.Format.nSamplesPerSec;
    return format;
}

// The addition and removal the program performs on the tree.
inline void AddToChain(CEffectTree& tree, CEffectNode* node) {
    tree.UpdateEffect(node);
    tree.LockMorphStream();
    CComplexEffect* chain = tree.GetTreeEntryPoint();
    tree.UpdateEffect(node);
    chain->AddEffect(nullptr, node->GetEffect());
    node->GetEffect()->SetActive(true);
    chain->SetActive(true);
    node->SetChecked(true);
    tree.UnlockMorphStream();
}

inline void RemoveFromChain(CEffectTree& tree, CEffectNode* node) {
    tree.LockMorphStream();
    CComplexEffect* chain = tree.GetTreeEntryPoint();
    node->GetEffect()->SetActive(false);
    node->GetEffect()->ClearState();
    chain->DeleteEffect(node->GetEffect());
    node->SetChecked(false);
    tree.UnlockMorphStream();
}
