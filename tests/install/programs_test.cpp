// The installed programs run from the prefix alone: the tool finds the plug-ins and the
// effects description and encodes, the program starts with the installed skin.
#include <filesystem>

#include "tests/install/installed_files.h"
#include "tests/install/installed_tree.h"

namespace {

namespace fs = std::filesystem;

// A folder of the prefix moved aside for a scope.
class MovedAside {
public:
    explicit MovedAside(std::string path) : m_path(std::move(path)) { fs::rename(m_path, m_path + ".away"); }
    ~MovedAside() {
        std::error_code ignored;
        fs::rename(m_path + ".away", m_path, ignored);
    }
    MovedAside(const MovedAside&) = delete;
    MovedAside& operator=(const MovedAside&) = delete;

private:
    std::string m_path;
};

}  // namespace

TEST_F(InstalledTree, ToolListsTheEffectsOfTheInstalledPlugins) {
    const ProcessResult result = RunInstalled("bin/morvane-cli", {"effects"});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, "Delay\nEqualizer\nPing-Pong Delay\nWah-Wah\n");
}

TEST_F(InstalledTree, ToolWithoutThePluginsOffersNoEffects) {
    // The listing above comes from the installed plug-ins, not from the description alone.
    const MovedAside plugins(Prefix() + "/" + InstalledLibraryFolder() + "/plugins");
    const ProcessResult result = RunInstalled("bin/morvane-cli", {"effects"});
    EXPECT_EQ(result.out.find("Delay"), std::string::npos) << result.out;
}

TEST_F(InstalledTree, ToolMakesAnMp3WithAnEffect) {
    const ProcessResult tone = RunTool("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i",
                                                  "sine=frequency=440:duration=1:sample_rate=44100", "tone.wav"});
    ASSERT_EQ(tone.code, 0) << tone.err;

    const ProcessResult make =
        RunInstalled("bin/morvane-cli", {"make", "tone.wav", "--effect", "Delay", "-o", "ring.mp3"});
    ASSERT_EQ(make.code, 0) << make.err;

    const ProcessResult probe =
        RunTool("ffprobe", {"-v", "error", "-show_entries", "format=format_name,duration:stream=codec_name", "-of",
                            "default=noprint_wrappers=1", "ring.mp3"});
    ASSERT_EQ(probe.code, 0) << probe.err;
    EXPECT_NE(probe.out.find("codec_name=mp3\n"), std::string::npos) << probe.out;
    EXPECT_NE(probe.out.find("format_name=mp3\n"), std::string::npos) << probe.out;
    const size_t at = probe.out.find("duration=");
    ASSERT_NE(at, std::string::npos) << probe.out;
    const double seconds = std::stod(probe.out.substr(at + 9));
    EXPECT_GT(seconds, 0.9) << probe.out;
    EXPECT_LT(seconds, 1.2) << probe.out;
}

TEST_F(InstalledTree, ProgramStartsWithTheInstalledSkin) {
    const ProcessResult result = RunInstalled("bin/Morvane", {}, {"MORVANE_CLOSE_AFTER_START=1"});
    // A skin that cannot be loaded shows "Can't load skin" in a message box that waits for a
    // click: the program never ends on its own then.
    EXPECT_FALSE(result.timedOut) << "the program did not close by itself";
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.err.find("Can't load skin"), std::string::npos) << result.err;
}

TEST_F(InstalledTree, ProgramWithoutTheInstalledSkinDoesNotStart) {
    // The check above fails when the skin is missing: the start ends at once, with the
    // failure's exit code (its message box closes by itself in an automated check).
    const MovedAside skins(Prefix() + "/share/morvane/Skins");
    const ProcessResult result = RunInstalled("bin/Morvane", {}, {"MORVANE_CLOSE_AFTER_START=1"}, 20);
    EXPECT_FALSE(result.timedOut) << "the program hung instead of ending";
    EXPECT_EQ(result.code, 1) << result.err;
}
