// The frame's exports as a host sees them, on the real plug-in libraries loaded from
// bin/plugins: identity, format refusal, slicing through ProcessStream, copies without a
// stream, null handles, and plug-ins loaded side by side.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tests/plugins/frame/elf_symbols.h"
#include "tests/plugins/frame/plugin_test_support.h"

namespace {

struct PluginCase {
    const char* library;
    const char* name;
    const char* author;
    uint32_t version;
    std::optional<uint32_t> kind;
    uint16_t maxChannels;
    uint32_t sliceFrames;
};

std::ostream& operator<<(std::ostream& out, const PluginCase& plugin) { return out << plugin.library; }

const PluginCase kDelays[] = {
    {"Ricochet", "Ricochet", "QoSoft Corp. (VN)", 0x40000, std::nullopt, 2, 4096},
    {"Tapline", "Delay", "Pemaro Ltd (CY)", 0x50000, std::nullopt, 2, 4096},
};

// Stream input of a constant level that delivers the scripted counts, then full requests.
struct ScriptedInput {
    std::vector<uint32_t> script;
    std::vector<uint32_t> requests;

    static uint32_t Callback(void* user, _SOUNDDATAEX_* record) {
        auto& self = *static_cast<ScriptedInput*>(user);
        const size_t call = self.requests.size();
        self.requests.push_back(record->capacity);
        const uint32_t count = call < self.script.size() ? self.script[call] : record->capacity;
        for (float* channel : record->channels) std::fill_n(channel, std::min(count, record->capacity), 0.25f);
        return count;
    }
};

class PluginExports : public ::testing::TestWithParam<PluginCase> {
protected:
    void SetUp() override { ASSERT_TRUE(plugin.Loaded()); }

    // A settings object from the built-in defaults (no store).
    std::unique_ptr<PluginSettingsHandle> NewSettings() {
        void* settings = nullptr;
        EXPECT_EQ(plugin.Initialize(nullptr, nullptr, 0, &settings), 1);
        EXPECT_NE(settings, nullptr);
        return std::make_unique<PluginSettingsHandle>(plugin, settings);
    }

    LoadedPlugin plugin{GetParam().library};
};

TEST_P(PluginExports, InfoNeedsTheRecordSize) {
    PLUGIN_INFO info;
    std::memset(&info, 0x5A, sizeof info);
    info.size = 20;
    const PLUGIN_INFO before = info;
    EXPECT_EQ(plugin.PlugInInfo(&info), 0);
    EXPECT_EQ(std::memcmp(&info, &before, sizeof info), 0);

    info.size = sizeof(PLUGIN_INFO);
    ASSERT_EQ(plugin.PlugInInfo(&info), 1);
    EXPECT_EQ(info.reserved, 0u);
    EXPECT_STREQ(info.name, GetParam().name);
    EXPECT_STREQ(info.author, GetParam().author);
    EXPECT_EQ(info.version, GetParam().version);
    EXPECT_EQ(info.kind, GetParam().kind.value_or(0x5A5A5A5Au));
}

TEST_P(PluginExports, RefusesMoreChannelsThanItSupports) {
    auto settings = NewSettings();
    const WAVEFORMATEX tooMany = FloatFormat(static_cast<uint16_t>(GetParam().maxChannels + 1), 44100);
    EXPECT_EQ(plugin.OpenStream(settings->get(), &tooMany), PLUGIN_OPEN_UNSUPPORTED);
    EXPECT_EQ(plugin.OpenStream(settings->get(), nullptr), PLUGIN_OPEN_UNSUPPORTED);
    const WAVEFORMATEX supported = FloatFormat(GetParam().maxChannels, 44100);
    EXPECT_EQ(plugin.OpenStream(settings->get(), &supported), PLUGIN_OPEN_OK);
}

TEST_P(PluginExports, ProcessStreamPullsInSlices) {
    const uint32_t slice = GetParam().sliceFrames;
    const uint32_t requested = 2 * slice + 1808;
    auto settings = NewSettings();
    ScriptedInput input;
    ASSERT_EQ(plugin.SetStreamCallBack(ScriptedInput::Callback, &input, settings->get()), 1);
    const WAVEFORMATEX format = FloatFormat(2, 44100);
    ASSERT_EQ(plugin.OpenStream(settings->get(), &format), PLUGIN_OPEN_OK);
    SoundBlock block(2, requested);

    block->capacity = requested;
    EXPECT_EQ(plugin.ProcessStream(block.get(), settings->get()), requested);
    EXPECT_EQ(block->frames, requested);
    EXPECT_EQ(input.requests, (std::vector<uint32_t>{slice, slice, 1808}));

    input = ScriptedInput{{slice, 100}};
    block->capacity = requested;
    EXPECT_EQ(plugin.ProcessStream(block.get(), settings->get()), slice + 100);
    EXPECT_EQ(block->frames, slice + 100);
    EXPECT_EQ(input.requests, (std::vector<uint32_t>{slice, slice}));

    input = ScriptedInput{{0}};
    block->capacity = requested;
    EXPECT_EQ(plugin.ProcessStream(block.get(), settings->get()), 0u);
    EXPECT_EQ(block->frames, 0u);
    EXPECT_EQ(plugin.CloseStream(settings->get()), 1);
}

TEST_P(PluginExports, CopyOfAnOpenStreamHasNoStreamNorCallBack) {
    auto source = NewSettings();
    ScriptedInput input;
    plugin.SetStreamCallBack(ScriptedInput::Callback, &input, source->get());
    const WAVEFORMATEX format = FloatFormat(2, 44100);
    ASSERT_EQ(plugin.OpenStream(source->get(), &format), PLUGIN_OPEN_OK);

    void* copied = nullptr;
    ASSERT_EQ(plugin.CopySettings(&copied, source->get()), 1);
    PluginSettingsHandle copy(plugin, copied);
    ASSERT_NE(copy.get(), source->get());
    SoundBlock block(2, 512);
    block->capacity = 512;
    EXPECT_EQ(plugin.ProcessStream(block.get(), copy.get()), 0u);
    EXPECT_TRUE(input.requests.empty());

    // Opened, it still has no callback of its own: nothing to pull.
    ASSERT_EQ(plugin.OpenStream(copy.get(), &format), PLUGIN_OPEN_OK);
    block->capacity = 512;
    EXPECT_EQ(plugin.ProcessStream(block.get(), copy.get()), 0u);
    EXPECT_TRUE(input.requests.empty());

    // The source streams on, unaffected.
    block->capacity = 512;
    EXPECT_EQ(plugin.ProcessStream(block.get(), source->get()), 512u);
}

TEST_P(PluginExports, NullHandlesFailQuietly) {
    SoundBlock block(2, 64);
    block->capacity = 64;
    block->frames = 9;
    PLUGIN_INFO* noInfo = nullptr;
    EXPECT_EQ(plugin.PlugInInfo(noInfo), 0);
    EXPECT_EQ(plugin.Initialize(nullptr, nullptr, 0, nullptr), 0);
    EXPECT_EQ(plugin.InitializeXml(nullptr, nullptr), 0);
    EXPECT_EQ(plugin.LoadPreset(nullptr, nullptr, 0, nullptr), 0);
    EXPECT_EQ(plugin.SavePreset(nullptr, nullptr, 0, nullptr), 0);
    EXPECT_EQ(plugin.SavePresetXml(nullptr, nullptr), 0);
    void* out = nullptr;
    EXPECT_EQ(plugin.CopySettings(&out, nullptr), 0);
    EXPECT_EQ(out, nullptr);
    plugin.Free(nullptr);
    EXPECT_EQ(plugin.SetStreamCallBack(ScriptedInput::Callback, nullptr, nullptr), 0);
    EXPECT_EQ(plugin.ProcessStream(block.get(), nullptr), 0u);
    EXPECT_EQ(block->frames, 0u);
    EXPECT_EQ(plugin.CloseStream(nullptr), 0);
    EXPECT_EQ(plugin.CreateSettingsWindow(nullptr, nullptr), nullptr);

    auto settings = NewSettings();
    EXPECT_EQ(plugin.ProcessStream(nullptr, settings->get()), 0u);
    EXPECT_EQ(plugin.ProcessStream(block.get(), settings->get()), 0u);  // no stream open
}

TEST_P(PluginExports, ExportsOnlyThePluginInterface) {
    const std::set<std::string> api = {"PlugInInfo", "Initialize", "InitializeXml", "LoadPreset", "SavePreset",
                                       "SavePresetXml", "CopySettings", "Free", "SetStreamCallBack", "OpenStream",
                                       "ProcessStream", "CloseStream", "CreateSettingsWindow", "GetDelay",
                                       // section bounds some linkers define (sanitizer builds)
                                       "__bss_start", "_edata", "_end"};
    const std::string path = std::string(MORVANE_BIN_DIR) + "/plugins/lib" + GetParam().library + ".so";
    const std::vector<std::string> exported = DefinedDynamicSymbols(path);
    EXPECT_GE(exported.size(), 13u);
    for (const std::string& symbol : exported) EXPECT_TRUE(api.count(symbol)) << symbol;
}

INSTANTIATE_TEST_SUITE_P(Delays, PluginExports, ::testing::ValuesIn(kDelays));

TEST(PluginsSideBySide, EachKeepsItsOwnIdentity) {
    std::vector<std::unique_ptr<LoadedPlugin>> loaded;
    for (const PluginCase& plugin : kDelays) loaded.push_back(std::make_unique<LoadedPlugin>(plugin.library));
    for (size_t i = 0; i < loaded.size(); ++i) {
        ASSERT_TRUE(loaded[i]->Loaded());
        PLUGIN_INFO info{};
        info.size = sizeof(PLUGIN_INFO);
        ASSERT_EQ(loaded[i]->PlugInInfo(&info), 1);
        EXPECT_STREQ(info.name, kDelays[i].name);
    }
}

}  // namespace
