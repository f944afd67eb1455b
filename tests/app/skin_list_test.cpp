// The list of installed skins and program-relative paths.
#include <gtest/gtest.h>

#include "app/program.h"
#include "app/skin_list.h"
#include "platform/platform.h"
#include "tests/platform/scratch.h"

namespace {

TEST(SkinList, ListsOnlyCaptionedSkinsInNameOrderWithDefaultSizes) {
    ScratchFolder folder;
    folder.Write("b.XML", "<SKIN_KEL Caption=\"Second\" Height=\"700\"/>");
    folder.Write("a.xml", "<SKIN_KEL Caption=\"First\" Width=\"1024\" Height=\"768\"/>");
    folder.Write("c.xml", "<SKIN_KEL Caption=\"\" Width=\"640\"/>");
    folder.Write("d.xml", "<SKIN Caption=\"Not a skin\"/>");
    folder.Write("e.xml", "<SKIN_KEL Caption=\"Broken\"");
    folder.Write("f.txt", "<SKIN_KEL Caption=\"Not xml by name\"/>");
    folder.Write("g.xml", "<skin_kel Caption=\"Lower case root\"/>");
    folder.Write("h.xml", "<SKIN_KEL Width=\"640\"/>");
    EnumerateSkinsIn(folder.Path());
    const std::vector<SkinInfo>& skins = GetSkinList();
    ASSERT_EQ(skins.size(), 3u);
    EXPECT_EQ(skins[0].caption, "First");
    EXPECT_EQ(skins[0].path, (folder / "a.xml"));
    EXPECT_EQ(skins[0].width, 1024);
    EXPECT_EQ(skins[0].height, 768);
    EXPECT_EQ(skins[1].caption, "Second");
    EXPECT_EQ(skins[1].width, 800) << "Width absent";
    EXPECT_EQ(skins[1].height, 700);
    EXPECT_EQ(skins[2].caption, "Lower case root");
    EXPECT_EQ(skins[2].height, 600);

    // A second scan replaces the list.
    EnumerateSkinsIn(folder.Path());
    EXPECT_EQ(GetSkinList().size(), 3u);
}

TEST(SkinList, TheCurrentSkinOutsideTheListIsAnEmptyRecord) {
    ScratchFolder folder;
    folder.Write("only.xml", "<SKIN_KEL Caption=\"Only\"/>");
    EnumerateSkinsIn(folder.Path());
    SetCurrentSkinIndex(0);
    EXPECT_EQ(GetCurrentSkin().caption, "Only");
    for (int outside : {1, -1}) {
        SetCurrentSkinIndex(outside);
        const SkinInfo skin = GetCurrentSkin();
        EXPECT_EQ(skin.caption, "");
        EXPECT_EQ(skin.path, "");
        EXPECT_EQ(skin.width, 0);
        EXPECT_EQ(skin.height, 0);
    }
    EnumerateSkinsIn((folder / "absent"));
    EXPECT_TRUE(GetSkinList().empty());
    SetCurrentSkinIndex(0);
    EXPECT_EQ(GetCurrentSkin().width, 0);
}

TEST(SkinList, TheProgramsSkinsFolderHoldsTheDefaultSkin) {
    // The tests' folder links the program's Skins folder.
    EnumerateSkins();
    ASSERT_FALSE(GetSkinList().empty());
    EXPECT_EQ(GetSkinList()[0].caption, "Morvane Light");
    EXPECT_EQ(GetSkinList()[0].width, 800);
}

TEST(ProgramPaths, RelativePathsLieBesideTheProgram) {
    EXPECT_EQ(ProgramRelativePath("/etc/os-release"), "/etc/os-release");
    EXPECT_EQ(ProgramRelativePath("Skins"), ProgramFolder() + "/Skins");
    EXPECT_EQ(ProgramRelativePath("plugins\\info\\copyrights\\index.html"),
              ProgramFolder() + "/plugins/info/copyrights/index.html");
    EXPECT_EQ(ProgramRelativePath("no such file"), ProgramFolder() + "/no such file");
}

}  // namespace
