// The settings windows' shared parts: controls from a template in dialog units, the change
// notification, the slider's end-of-action signal, and the language file from its lookup to
// the translated captions.
#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/files.h"
#include "plugins/common/plugin_language.h"
#include "plugins/common/settings_window.h"
#include "tests/plugins/frame/plugin_test_support.h"
#include "tests/plugins/windows/window_test_support.h"

namespace {

using Kind = DialogControlKind;

constexpr DialogControl kTestControls[] = {
    {Kind::GroupBox, 100, "Group", 2, 2, 80, 60},        {Kind::Text, kNoControlId, "Caption", 6, 12, 40, 8},
    {Kind::VerticalSlider, 101, nullptr, 6, 22, 14, 36}, {Kind::CheckBox, 102, "Check", 24, 22, 50, 10},
    {Kind::RadioFirst, 103, "A", 24, 34, 20, 10},        {Kind::Radio, 104, "B", 46, 34, 20, 10},
    {Kind::RadioFirst, 105, "C", 24, 46, 20, 10},        {Kind::Radio, 106, "D", 46, 46, 20, 10},
};
constexpr DialogTemplate kTestTemplate{999, "CTestDlg", 90, 70, kTestControls};

class CTestDlg : public CPluginSettingsDialog {
public:
    explicit CTestDlg(QWidget* parent) : CPluginSettingsDialog(parent, kTestTemplate) {}
    using CPluginSettingsDialog::FillingScope;
    using CPluginSettingsDialog::NotifyChanged;
    using CPluginSettingsDialog::Units;
    QLabel* CaptionLabel() const {
        for (QLabel* label : findChildren<QLabel*>())
            if (label->objectName().isEmpty()) return label;
        return nullptr;
    }
};

class SettingsWindowBase : public ::testing::Test {
protected:
    QApplication& application = TestApp();
    CommandRecorder host;
};

TEST_F(SettingsWindowBase, LaysOutTheTemplateInDialogUnitsOfItsFont) {
    CTestDlg dialog(&host);
    const DialogUnits& units = dialog.Units();
    ASSERT_GT(units.AverageCharWidth(), 0);
    ASSERT_GT(units.CharHeight(), 0);
    // One horizontal unit is a quarter of the average character width, one vertical unit an
    // eighth of the character height.
    EXPECT_EQ(units.ToPixels(4, 8), QSize(units.AverageCharWidth(), units.CharHeight()));
    EXPECT_EQ(units.ToPixels(400, 800), QSize(100 * units.AverageCharWidth(), 100 * units.CharHeight()));
    EXPECT_EQ(dialog.size(), units.ToPixels(90, 70));
    EXPECT_EQ(dialog.Find<QSlider>(101)->geometry(), units.ToPixels(6, 22, 14, 36));
    EXPECT_EQ(dialog.Find<QCheckBox>(102)->geometry(), units.ToPixels(24, 22, 50, 10));
    // Neighbouring controls meet without a gap or an overlap.
    EXPECT_EQ(units.ToPixels(0, 0, 7, 5).right() + 1, units.ToPixels(7, 0, 3, 5).left());
    EXPECT_EQ(dialog.Find<QGroupBox>(100)->title(), "Group");
    EXPECT_EQ(dialog.parentWidget(), &host);
    EXPECT_TRUE(dialog.testAttribute(Qt::WA_DeleteOnClose));
}

TEST_F(SettingsWindowBase, RadioButtonsAreExclusiveWithinTheirOwnGroupOnly) {
    CTestDlg dialog(&host);
    dialog.Find<QRadioButton>(103)->click();
    dialog.Find<QRadioButton>(105)->click();
    EXPECT_TRUE(dialog.Find<QRadioButton>(103)->isChecked());
    EXPECT_TRUE(dialog.Find<QRadioButton>(105)->isChecked());
    dialog.Find<QRadioButton>(104)->click();
    EXPECT_FALSE(dialog.Find<QRadioButton>(103)->isChecked());
    EXPECT_TRUE(dialog.Find<QRadioButton>(105)->isChecked());
    EXPECT_EQ(dialog.Find<QCheckBox>(103), nullptr);  // wrong type
    EXPECT_EQ(dialog.Find<QRadioButton>(107), nullptr);
}

TEST_F(SettingsWindowBase, PostsTheChangeToItsParentOnlyOutsideFilling) {
    CTestDlg dialog(&host);
    {
        const CTestDlg::FillingScope filling(dialog);
        dialog.NotifyChanged();
        { const CTestDlg::FillingScope nested(dialog); }
        dialog.NotifyChanged();  // still filling after the nested scope ended
    }
    EXPECT_TRUE(host.Commands().empty());
    dialog.NotifyChanged();
    EXPECT_EQ(host.Received(), 0u);  // queued, not called at once
    EXPECT_EQ(host.Commands().size(), 1u);
}

TEST_F(SettingsWindowBase, TheCommandIsQueuedWithIdZeroAndTheChangeCode) {
    CTestDlg dialog(&host);
    dialog.NotifyChanged();
    dialog.NotifyChanged();
    const auto& commands = host.Commands();
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].id, 0);
    EXPECT_EQ(commands[0].code, 0x400);
}

TEST_F(SettingsWindowBase, AParentWithoutTheMethodOrGoneGetsNothing) {
    QWidget plain;
    CTestDlg quiet(&plain);
    quiet.NotifyChanged();  // nothing to call, nothing happens
    QCoreApplication::sendPostedEvents();

    auto* doomed = new CommandRecorder;
    auto* dialog = new CTestDlg(doomed);
    QPointer<CTestDlg> watch(dialog);
    dialog->NotifyChanged();
    delete doomed;  // takes the window with it before the command arrives
    EXPECT_TRUE(watch.isNull());
    QCoreApplication::sendPostedEvents();
}

TEST_F(SettingsWindowBase, ClosingTheWindowDeletesIt) {
    QPointer<CTestDlg> dialog(new CTestDlg(&host));
    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
}

TEST_F(SettingsWindowBase, WindowsNeedAParentOnTheApplicationsThread) {
    EXPECT_FALSE(CanCreateSettingsWindow(nullptr));
    EXPECT_TRUE(CanCreateSettingsWindow(&host));
    bool fromWorker = true;
    std::thread worker([&] { fromWorker = CanCreateSettingsWindow(&host); });
    worker.join();
    EXPECT_FALSE(fromWorker);
}

// ---- the slider -------------------------------------------------------------------------

// A slider that tells where its channel is.
class ProbedSlider : public CTrackSlider {
public:
    using CTrackSlider::CTrackSlider;
    // A point in the channel, `fraction` of its length from the top.
    QPoint ChannelAt(double fraction) const {
        QStyleOptionSlider option;
        initStyleOption(&option);
        const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
        return QPoint(groove.center().x(), groove.top() + static_cast<int>(fraction * groove.height()));
    }
    // A point beside the channel, among the tick marks.
    QPoint TicksAt(double fraction) const {
        QStyleOptionSlider option;
        initStyleOption(&option);
        const QRect ticks = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderTickmarks, this);
        return QPoint(width() - 2, ticks.top() + static_cast<int>(fraction * ticks.height()));
    }
};

class TrackSlider : public SettingsWindowBase {
protected:
    TrackSlider() : slider(Qt::Vertical, &host) {
        slider.SetTrackRange(0, 3000);
        slider.setValue(1500);
        slider.setGeometry(0, 0, 24, 200);
        host.resize(40, 220);
        host.show();
    }
    ProbedSlider slider;
};

TEST_F(TrackSlider, RunsFromTheTopWithAFifthOfItsRangeAsPage) {
    EXPECT_TRUE(slider.invertedAppearance());
    EXPECT_EQ(slider.pageStep(), 600);
    EXPECT_EQ(slider.singleStep(), 1);
    CTrackSlider horizontal(Qt::Horizontal, &host);
    EXPECT_FALSE(horizontal.invertedAppearance());
    horizontal.SetTrackRange(10, 12);
    EXPECT_EQ(horizontal.pageStep(), 1);
}

TEST_F(TrackSlider, EachKeyLetGoEndsOneAction) {
    QSignalSpy ended(&slider, &CTrackSlider::trackEnded);
    QTest::keyClick(&slider, Qt::Key_Up);  // the thumb moves up, toward the minimum
    EXPECT_EQ(slider.value(), 1499);
    EXPECT_EQ(ended.count(), 1);
    QTest::keyClick(&slider, Qt::Key_PageDown);
    EXPECT_EQ(slider.value(), 2099);
    QTest::keyClick(&slider, Qt::Key_Home);
    EXPECT_EQ(slider.value(), 0);
    EXPECT_EQ(ended.count(), 3);
    QTest::keyClick(&slider, Qt::Key_A);  // not a slider key
    EXPECT_EQ(ended.count(), 3);
    // A held key repeats presses and releases; only the last, real release ends the action.
    QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&slider, &repeatRelease);
    EXPECT_EQ(ended.count(), 3);
}

TEST_F(TrackSlider, ADragEndsWhenTheThumbIsLetGo) {
    QSignalSpy ended(&slider, &CTrackSlider::trackEnded);
    QSignalSpy changed(&slider, &QSlider::valueChanged);
    DragSliderTo(slider, 100);
    DragSliderTo(slider, 200);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(ended.count(), 0);
    ReleaseSlider(slider);
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(TrackSlider, AClickOnTheChannelEndsWithTheButton) {
    QSignalSpy ended(&slider, &CTrackSlider::trackEnded);
    const QPoint nearBottom = slider.ChannelAt(0.97);
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, nearBottom);
    EXPECT_EQ(ended.count(), 0);
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, nearBottom);
    EXPECT_EQ(ended.count(), 1);
    EXPECT_GT(slider.value(), 1500);  // toward the bottom: larger values
    // Beside the channel nothing moves, and no action ends.
    const int before = slider.value();
    QTest::mouseClick(&slider, Qt::LeftButton, Qt::NoModifier, slider.TicksAt(0.1));
    EXPECT_EQ(slider.value(), before);
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(TrackSlider, AWheelStepThatMovesTheThumbEndsAnAction) {
    QSignalSpy ended(&slider, &CTrackSlider::trackEnded);
    const QPointF at(12, 100);
    QWheelEvent wheel(at, slider.mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&slider, &wheel);
    EXPECT_NE(slider.value(), 1500);
    EXPECT_EQ(ended.count(), 1);
}

// ---- language files ---------------------------------------------------------------------

void WriteFile(const std::string& path, const std::string& contents) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

class LanguageFiles : public ::testing::Test {
protected:
    std::string Program() const { return folder.Path() + "/program"; }
    std::string Pemaro() const { return folder.Path() + "/data/Pemaro"; }
    ScratchFolder folder;
};

TEST_F(LanguageFiles, TheDefaultNameFolderIsMadeAndNothingFoundWithoutLanguageIni) {
    EXPECT_EQ(FindLanguageFile(Program(), Pemaro()), "");
    EXPECT_TRUE(FolderExists(Pemaro() + "/Qo Lumivox Gold 5.0"));
    EXPECT_EQ(FindLanguageFile(Program(), ""), "");
}

TEST_F(LanguageFiles, PathIsReadFromTheNamedFolder) {
    WriteFile(Program() + "/appdatadefault.ini", "[General]\nName=Custom Name\n");
    WriteFile(Pemaro() + "/Custom Name/Language.ini", "[Language]\nPath=/opt/lang/deu.qm\n");
    EXPECT_EQ(FindLanguageFile(Program(), Pemaro()), "/opt/lang/deu.qm");
    // A relative path is taken from the folder of Language.ini.
    WriteFile(Pemaro() + "/Custom Name/Language.ini", "[Language]\nPath=deu.qm\n");
    EXPECT_EQ(FindLanguageFile(Program(), Pemaro()), Pemaro() + "/Custom Name/deu.qm");
}

TEST_F(LanguageFiles, ANameThatIsNoPlainFolderNameGivesTheDefault) {
    WriteFile(Pemaro() + "/Qo Lumivox Gold 5.0/Language.ini", "[Language]\nPath=/right.qm\n");
    for (const char* name : {"../escape", ".", "..", "a/b"}) {
        WriteFile(Program() + "/appdatadefault.ini", std::string("[General]\nName=") + name + "\n");
        EXPECT_EQ(FindLanguageFile(Program(), Pemaro()), "/right.qm") << name;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + "/data/escape"));
}

TEST_F(LanguageFiles, LongNamesAndPathsAreCut) {
    const std::string longName(150, 'n');
    WriteFile(Program() + "/appdatadefault.ini", "[General]\nName=" + longName + "\n");
    const std::string longPath = "/" + std::string(300, 'p');
    WriteFile(Pemaro() + "/" + longName.substr(0, 99) + "/Language.ini", "[Language]\nPath=" + longPath + "\n");
    EXPECT_EQ(FindLanguageFile(Program(), Pemaro()), longPath.substr(0, 260));
}

TEST_F(LanguageFiles, TheSharedFolderFollowsXdgDataHomeElseHome) {
    const std::string savedHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    const char* savedData = std::getenv("XDG_DATA_HOME");
    const std::string savedDataValue = savedData != nullptr ? savedData : "";
    setenv("XDG_DATA_HOME", (folder.Path() + "/xdg").c_str(), 1);
    EXPECT_EQ(PemaroDataFolder(), folder.Path() + "/xdg/Pemaro");
    EXPECT_TRUE(FolderExists(folder.Path() + "/xdg/Pemaro"));
    setenv("XDG_DATA_HOME", "relative/ignored", 1);
    setenv("HOME", (folder.Path() + "/home").c_str(), 1);
    EXPECT_EQ(PemaroDataFolder(), folder.Path() + "/home/.local/share/Pemaro");
    EXPECT_TRUE(FolderExists(folder.Path() + "/home/.local/share/Pemaro"));
    unsetenv("HOME");
    EXPECT_EQ(PemaroDataFolder(), "");
    setenv("HOME", savedHome.c_str(), 1);
    if (savedData != nullptr)
        setenv("XDG_DATA_HOME", savedDataValue.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

// ---- translated captions ----------------------------------------------------------------

class Translation : public SettingsWindowBase {
protected:
    ~Translation() override { SetPluginLanguageFile({}); }
    QString CaptionOfANewWindow() {
        CTestDlg dialog(&host);
        return dialog.CaptionLabel() != nullptr ? dialog.CaptionLabel()->text() : QString();
    }
    ScratchFolder folder;
};

TEST_F(Translation, ALanguageFileChangesTheCaptionsItTranslates) {
    SetPluginLanguageFile(MORVANE_TEST_QM);
    EXPECT_EQ(CaptionOfANewWindow(), QString::fromUtf8("Beschriftung"));
    EXPECT_EQ(PluginText("CTestDlg", "Check"), "Check");       // not in the file
    EXPECT_EQ(PluginText("COtherDlg", "Caption"), "Caption");  // another dialog's text
    SetPluginLanguageFile({});
    EXPECT_EQ(CaptionOfANewWindow(), "Caption");
}

TEST_F(Translation, AMissingOrCorruptFileLeavesTheBuiltInTexts) {
    SetPluginLanguageFile(folder.Path() + "/missing.qm");
    EXPECT_EQ(CaptionOfANewWindow(), "Caption");
    std::ifstream good(MORVANE_TEST_QM, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(good), std::istreambuf_iterator<char>()};
    ASSERT_GT(bytes.size(), 20u);
    const std::string truncated = folder.Path() + "/truncated.qm";
    WriteFile(truncated, bytes.substr(0, 20) + std::string(40, '\xff'));  // a valid start, garbage after
    SetPluginLanguageFile(truncated);
    EXPECT_EQ(CaptionOfANewWindow(), "Caption");
    const std::string text = folder.Path() + "/text.qm";
    WriteFile(text, "not a translation at all");
    SetPluginLanguageFile(text);
    EXPECT_EQ(CaptionOfANewWindow(), "Caption");
    SetPluginLanguageFile(folder.Path());  // a folder
    EXPECT_EQ(CaptionOfANewWindow(), "Caption");
}

}  // namespace
