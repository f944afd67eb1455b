// Where the program's own files are looked for: beside it in the build tree, below the
// prefix when installed.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "tests/platform/scratch.h"

namespace {

namespace fs = std::filesystem;

class ProgramPlaces : public testing::Test {
protected:
    ProgramPlaces() { fs::create_directories(m_root / "bin"); }
    std::string Bin() const { return m_root / "bin"; }
    void Make(const std::string& relative) const { fs::create_directories(m_root / relative); }

    ScratchFolder m_root;
};

TEST_F(ProgramPlaces, BuildTreeKeepsToTheFilesBesideTheProgram) {
    Make("bin/Skins");
    EXPECT_EQ(ProgramPlace(Bin(), "Skins", "../share/morvane/Skins"), Bin() + "/Skins");
    // Even when an installed copy exists as well.
    Make("share/morvane/Skins");
    EXPECT_EQ(ProgramPlace(Bin(), "Skins", "../share/morvane/Skins"), Bin() + "/Skins");
}

TEST_F(ProgramPlaces, InstalledProgramFindsTheInstalledPlace) {
    Make("share/morvane/Skins");
    EXPECT_EQ(ProgramPlace(Bin(), "Skins", "../share/morvane/Skins"), Bin() + "/../share/morvane/Skins");
    // The plug-ins' folder is the build's installed layout (lib/<multiarch>/morvane/plugins).
    Make(std::string("bin/") + kInstalledPluginFolder);
    EXPECT_EQ(ProgramPlace(Bin(), "plugins", kInstalledPluginFolder), Bin() + "/" + kInstalledPluginFolder);
    EXPECT_EQ(std::string(kInstalledPluginFolder).rfind("../lib/", 0), 0u) << kInstalledPluginFolder;
}

TEST_F(ProgramPlaces, FileFoundNowhereIsNamedBesideTheProgram) {
    // The caller's error then names the place a build tree would have it.
    EXPECT_EQ(ProgramPlace(Bin(), "Language/eng/x.xml", "../share/morvane/Language/eng/x.xml"),
              Bin() + "/Language/eng/x.xml");
    fs::create_directories(m_root / "share/morvane/Language/eng");
    WriteFileText(m_root / "share/morvane/Language/eng/x.xml", "<x/>");
    EXPECT_EQ(ProgramPlace(Bin(), "Language/eng/x.xml", "../share/morvane/Language/eng/x.xml"),
              Bin() + "/../share/morvane/Language/eng/x.xml");
}

}  // namespace
