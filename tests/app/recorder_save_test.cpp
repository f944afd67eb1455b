// Saving the recorder's take: the type offered from the provider settings and the save
// dialog's filter. (The take and its encoding are the engine's: tests/recorder.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/src/recorder_save.h"
#include "tests/platform/scoped_env.h"
#include "tests/platform/scratch.h"

namespace {

// LastExt from a private machine-wide key store.
class RecorderSaveTest : public testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(m_machine / "morvane"); }
    void StoreLastExt(const std::string& line) {
        m_machine.Write("morvane/registry.ini",
                        "[" + RecorderProvidersKey() + "]\n" + (line.empty() ? "" : "LastExt=" + line + "\n"));
    }

    ScratchFolder m_machine;
    ScopedEnv m_machineVariable{"XDG_CONFIG_DIRS", m_machine.Path()};
};

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

}  // namespace
