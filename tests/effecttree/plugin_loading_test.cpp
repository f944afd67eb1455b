// Finding and loading the plug-ins: the folder, what is skipped, the real plug-ins.
#include <filesystem>
#include <fstream>

#include "effecttree/effect_node.h"
#include "effecttree/effect_tree.h"
#include "platform/files.h"
#include "test_support.h"
#include "tests/platform/scratch.h"

namespace {

namespace fs = std::filesystem;

TEST(PluginLoading, OnlyLibrariesThatAnswerAsPluginsAreLoaded) {
    ScratchFolder folder;
    fs::copy_file(kTestPluginDir + "/libtestgain.so", folder / "libtestgain.so");
    fs::copy_file(std::string(TEST_BAD_PLUGIN_DIR) + "/libtestnoinfo.so", folder / "libtestnoinfo.so");
    fs::copy_file(std::string(TEST_BAD_PLUGIN_DIR) + "/libtestnoexports.so", folder / "libtestnoexports.so");
    std::ofstream(folder / "libbroken.so") << "this is no shared library\n";
    std::ofstream(folder / "libempty.so");
    fs::create_directory(folder / "libfolder.so");
    fs::copy_file(kTestPluginDir + "/libtestgain.so", folder / "libtestgain.so.bak");

    EXPECT_EQ(LoadPluginsFrom(folder.Path()), 1);
    EXPECT_EQ(GetEffectManager()->PluginCount(), 1);
    EXPECT_EQ(GetEffectManager()->LoadedPlugins(), std::vector<std::string>{"libtestgain.so"});
}

TEST(PluginLoading, AMissingOrEmptyFolderLoadsNothing) {
    ScratchFolder folder;
    EXPECT_EQ(LoadPluginsFrom(folder.Path()), 0);
    EXPECT_EQ(LoadPluginsFrom(folder / "absent"), 0);
    EXPECT_EQ(GetEffectManager()->PluginCount(), 0);
    EXPECT_TRUE(GetEffectManager()->LoadedPlugins().empty());
}

TEST(PluginLoading, TheFolderIsSetThenTakenFromTheEnvironmentThenBesideTheProgram) {
    CEffectManager* manager = GetEffectManager();
    manager->SetPluginFolder("");
    unsetenv("MORVANE_PLUGIN_DIR");
    EXPECT_EQ(manager->PluginFolder(), ProgramFolder() + "/plugins");
    setenv("MORVANE_PLUGIN_DIR", kTestPluginDir.c_str(), 1);
    EXPECT_EQ(manager->PluginFolder(), kTestPluginDir);
    EXPECT_EQ(manager->Initialize(), 1);
    manager->SetPluginFolder("/somewhere/else");
    EXPECT_EQ(manager->PluginFolder(), "/somewhere/else");
    unsetenv("MORVANE_PLUGIN_DIR");
}

TEST(PluginLoading, EffectsOutliveAReloadOfThePlugins) {
    ASSERT_EQ(LoadPluginsFrom(kTestPluginDir), 1);
    CEffectTree tree;
    enXml document;
    ASSERT_TRUE(LoadDocument(document, TestDescription()));
    ASSERT_TRUE(tree.BuildTree(&document, 666));
    ASSERT_EQ(LoadPluginsFrom(kTestPluginDir + "/absent"), 0);  // the manager lets go of its libraries

    CEffectNode* half = tree.m_Root.FindChildByName("Half", true);
    RampSource source;
    tree.SetAudioInput(&source);
    ASSERT_EQ(tree.OpenStream(&kWorkingFormat), EFF_OK);
    AddToChain(tree, half);
    SoundBlock block(2, 64);
    ASSERT_EQ(tree.GetSoundData(block.get()), 64u);
    EXPECT_FLOAT_EQ(block->channels[0][10], 0.5f * RampSample(10, 0));
    tree.CloseStream();
}

TEST(PluginLoading, TheFourRealPluginsLoadFromTheBuildTree) {
    if (const std::string missing = MissingRealPlugins(); !missing.empty())
        GTEST_SKIP() << "plug-ins not built yet: " << missing;
    EXPECT_EQ(LoadPluginsFrom(kRealPluginDir), 4);
    EXPECT_EQ(GetEffectManager()->LoadedPlugins(),
              (std::vector<std::string>{"libRicochet.so", "libTapline.so", "libequalizer.so", "libwahwah.so"}));
}

}  // namespace
