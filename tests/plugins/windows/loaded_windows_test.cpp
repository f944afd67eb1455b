// The settings windows of the real plug-in libraries, loaded with dlopen as the effect tree
// loads them: made as children of a host window, one notification per user change, gone
// with the host's delete while the settings object lives on, a picture of each
// (build/screenshots/plugin-<name>.png), and the language file read at library start-up.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QSlider>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/plugins/frame/plugin_test_support.h"
#include "tests/plugins/windows/window_test_support.h"
#include "xml/xml.h"

namespace {

// The libraries look for their language file in $XDG_DATA_HOME when they are loaded; the
// tests give them a folder of their own.
const std::string& DataHome() {
    static ScratchFolder folder;
    static const bool set = setenv("XDG_DATA_HOME", folder.Path().c_str(), 1) == 0;
    EXPECT_TRUE(set);
    return folder.Path();
}

struct WindowCase {
    const char* library;
    const char* templateId;
    const char* sliderId;
    const char* key;  // the stored value the slider changes
};

void PrintTo(const WindowCase& window, std::ostream* out) { *out << window.library; }

const WindowCase kWindows[] = {
    {"equalizer", "23300", "23301", "Volume31"},
    {"Ricochet", "30600", "30601", "DryOut"},
    {"Tapline", "30800", "30801", "DryOut"},
    {"wahwah", "20600", "20602", "DryOut"},
};

// What must be in place before a plug-in is loaded.
struct LoadingEnvironment {
    LoadingEnvironment() {
        DataHome();
        TestApp();
    }
};

class LoadedWindow : public ::testing::TestWithParam<WindowCase> {
protected:
    double StoredValue(void* settings) {
        enXml element("Settings");
        EXPECT_EQ(plugin.SavePresetXml(&element, settings), 1);
        double value = -1;
        EXPECT_TRUE(element.GetValue(GetParam().key, value));
        return value;
    }

    LoadingEnvironment environment;
    LoadedPlugin plugin{GetParam().library};  // before the host: its windows go before it unloads
    CommandRecorder host;
};

TEST_P(LoadedWindow, IsAChildOfItsHostThatNotifiesOncePerChange) {
    ASSERT_TRUE(plugin.Loaded());
    void* created = nullptr;
    ASSERT_EQ(plugin.Initialize(nullptr, nullptr, 0, &created), 1);
    PluginSettingsHandle settings(plugin, created);
    EXPECT_EQ(plugin.CreateSettingsWindow(nullptr, settings.get()), nullptr);
    EXPECT_EQ(plugin.CreateSettingsWindow(&host, nullptr), nullptr);

    QWidget* window = plugin.CreateSettingsWindow(&host, settings.get());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->parentWidget(), &host);
    EXPECT_EQ(window->objectName(), GetParam().templateId);
    EXPECT_FALSE(window->size().isEmpty());
    EXPECT_TRUE(host.Commands().empty());
    host.resize(window->size());
    host.show();
    EXPECT_TRUE(SaveScreenshot(*window, std::string("plugin-") + GetParam().library));

    const double before = StoredValue(settings.get());
    auto* slider = window->findChild<QSlider*>(GetParam().sliderId);
    ASSERT_NE(slider, nullptr);
    QTest::keyClick(slider, Qt::Key_PageUp);
    ASSERT_EQ(host.Commands().size(), 1u);
    EXPECT_EQ(host.Commands()[0].id, 0);
    EXPECT_EQ(host.Commands()[0].code, 0x400);
    EXPECT_NE(StoredValue(settings.get()), before);

    delete window;  // the host destroys the window; the settings object stays
    const double after = StoredValue(settings.get());
    EXPECT_NE(after, before);
    QWidget* again = plugin.CreateSettingsWindow(&host, settings.get());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(host.Commands().size(), 1u);  // opening again posts nothing
    EXPECT_EQ(StoredValue(settings.get()), after);
}

INSTANTIATE_TEST_SUITE_P(Plugins, LoadedWindow, ::testing::ValuesIn(kWindows),
                         [](const ::testing::TestParamInfo<WindowCase>& info) {
                             return std::string(info.param.library);
                         });

// ---- the language file ------------------------------------------------------------------

class LanguageAtStartUp : public ::testing::Test {
protected:
    // A fresh copy of libRicochet.so loaded after Language.ini names languageFile: the copy
    // is a library of its own, so its start-up reads the file again. Returns the caption of
    // its "Lock channels" check box.
    QString LockCaptionWith(const std::string& languageFile) {
        const std::string iniFolder = DataHome() + "/Pemaro/Qo Lumivox Gold 5.0";
        std::filesystem::create_directories(iniFolder);
        std::ofstream(iniFolder + "/Language.ini") << "[Language]\nPath=" << languageFile << "\n";
        const std::string copy = folder.Path() + "/libRicochet" + std::to_string(++m_copies) + ".so";
        std::filesystem::copy_file(std::string(MORVANE_BIN_DIR) + "/plugins/libRicochet.so", copy);
        LoadedPlugin plugin(LoadedPlugin::File{copy});
        if (!plugin.Loaded()) return {};
        void* created = nullptr;
        EXPECT_EQ(plugin.Initialize(nullptr, nullptr, 0, &created), 1);
        PluginSettingsHandle settings(plugin, created);
        CommandRecorder host;
        QWidget* window = plugin.CreateSettingsWindow(&host, settings.get());
        if (window == nullptr) return {};
        auto* lock = window->findChild<QAbstractButton*>("30618");
        const QString caption = lock != nullptr ? lock->text() : QString();
        auto* invert = window->findChild<QAbstractButton*>("30615");
        EXPECT_EQ(invert != nullptr ? invert->text() : QString(), "Invert");  // not in the file
        return caption;
    }

    LoadingEnvironment environment;
    ScratchFolder folder;

private:
    int m_copies = 0;
};

TEST_F(LanguageAtStartUp, ATranslationFileChangesTheCaptionsItHolds) {
    EXPECT_EQ(LockCaptionWith(MORVANE_TEST_QM), QString::fromUtf8("Kanäle koppeln"));
}

TEST_F(LanguageAtStartUp, AMissingOrCorruptFileLeavesTheBuiltInTexts) {
    EXPECT_EQ(LockCaptionWith(folder.Path() + "/missing.qm"), "Lock channels");
    const std::string corrupt = folder.Path() + "/corrupt.qm";
    std::ofstream(corrupt) << "this is no translation";
    EXPECT_EQ(LockCaptionWith(corrupt), "Lock channels");
    EXPECT_EQ(LockCaptionWith(""), "Lock channels");
}

}  // namespace
