// The main window's page state machine: Continue and Go back with their checks and
// captions, tracks opened into the waveform editor, the settings the window starts with and
// the exit question. Pictures of page 1 (empty and with a track) and of page 2.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/control_tables.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "app/waveform_editor.h"
#include "audiosvc/audiosvc.h"
#include "skin/buttons.h"
#include "skin/skin_base.h"
#include "skin/sliders.h"
#include "tests/app/main_window_fixture.h"
#include "tests/app/ui_test_support.h"

namespace {

const QString kStep1 = QStringLiteral("Step 1: Add audio files");
const QString kStep2 = QStringLiteral("Step 2: Modify your ringtone");
const QString kStep3 = QStringLiteral("Step 3: Save/Send the ringtone");

TEST_F(MainWindowTest, ContinueNeedsATrackThenWalksThePagesWithTheirCaptions) {
    const std::string tone = Tone("tone.wav", 3.0, "-c:a pcm_s16le");
    CTessalyDlg window(app_);
    const int result = RunWindow(window, [&] {
        EXPECT_EQ(TextOf(window, IDC_COMMON_CONTINUE), kStep2);
        SaveScreenshot(window, QStringLiteral("main_window_page1_empty.png"));

        window.OnContinue();
        EXPECT_EQ(window.Page(), 0);
        ASSERT_EQ(Shown().size(), 1u);
        EXPECT_EQ(Shown()[0].text, "Please provide at least one audio\nfile to proceed");
        EXPECT_EQ(Shown()[0].type & MB_ICONMASK, static_cast<uint32_t>(MB_ICONWARNING));
        EXPECT_TRUE(app_.EffectTreeBuilt() == false) << "the tree is built only when page 1 is left";

        SetText(window, IDC_PAGE1_TRACK1_EDIT, QString::fromStdString(tone));
        EXPECT_EQ(window.Track(1).path, tone);
        SaveScreenshot(window, QStringLiteral("main_window_page1_track.png"));
        window.OnContinue();
        ASSERT_EQ(window.Page(), 1);
        EXPECT_TRUE(app_.EffectTreeBuilt());
        EXPECT_EQ(TextOf(window, IDC_COMMON_CONTINUE), kStep3);
        EXPECT_EQ(TextOf(window, IDC_COMMON_GO_BACK), kStep1);
        CWaveFormKel* wave = window.WaveEditor();
        ASSERT_NE(wave, nullptr);
        EXPECT_EQ(wave->Timeline().Track1(), &window.Track(1));
        EXPECT_EQ(wave->Timeline().Track2(), nullptr);
        const int64_t frames = window.Track(1).source.Frames();
        EXPECT_EQ(frames, 3 * 44100);
        EXPECT_EQ(wave->GetEndMarker(), frames);
        EXPECT_EQ(wave->GetStartMarker(), wave->GetViewStart());
        EXPECT_EQ(wave->GetPlayPosition(), frames);
        // The zoom is the smallest power of two that fits the track into the wave area.
        const uint32_t zoom = wave->GetZoom();
        EXPECT_GE(int64_t{wave->width()} * zoom, frames);
        EXPECT_LT(int64_t{wave->width()} * (zoom / 2), frames);
        QApplication::processEvents();
        SaveScreenshot(window, QStringLiteral("main_window_page2_track.png"));

        // Back and forth again: the open track is kept, not decoded anew.
        const std::string decoded = window.Track(1).source.TempPath();
        window.OnGoBack();
        EXPECT_EQ(window.Page(), 0);
        EXPECT_EQ(TextOf(window, IDC_COMMON_CONTINUE), kStep2);
        window.OnContinue();
        EXPECT_EQ(window.Page(), 1);
        EXPECT_EQ(window.Track(1).source.TempPath(), decoded);

        window.OnContinue();
        EXPECT_EQ(window.Page(), 2) << (Shown().size() > 1 ? Shown().back().text : "");
        EXPECT_EQ(TextOf(window, IDC_COMMON_GO_BACK), kStep2);
        EXPECT_TRUE(window.Skin().GetControl(IDC_PAGE3_SEND)->isVisible());
        window.OnGoBack();
        EXPECT_EQ(window.Page(), 1);
        EXPECT_EQ(TextOf(window, IDC_COMMON_CONTINUE), kStep3);
        EXPECT_EQ(TextOf(window, IDC_COMMON_GO_BACK), kStep1);
        EXPECT_TRUE(wave->isVisible());
    });
    EXPECT_EQ(result, kInteractionDone);
}

TEST_F(MainWindowTest, ATrackThatDoesNotOpenKeepsTheFirstPage) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        SetText(window, IDC_PAGE1_TRACK1_EDIT, QString::fromStdString(inputs_ + "/missing.wav"));
        window.OnContinue();
        EXPECT_EQ(window.Page(), 0);
        ASSERT_FALSE(Shown().empty());
        EXPECT_NE(Shown().back().text.find("Error opening"), std::string::npos) << Shown().back().text;
        EXPECT_FALSE(window.Track(1).source.IsOpen());
    });
}

TEST_F(MainWindowTest, ClearingTrackTwoRemovesItFromTheEditor) {
    const std::string first = Tone("first.wav", 2.0, "-c:a pcm_s16le");
    const std::string second = Tone("second.wav", 4.0, "-c:a pcm_s16le");
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        SetText(window, IDC_PAGE1_TRACK1_EDIT, QString::fromStdString(first));
        SetText(window, IDC_PAGE1_TRACK2_EDIT, QString::fromStdString(second));
        window.OnContinue();
        ASSERT_EQ(window.Page(), 1);
        CWaveFormKel* wave = window.WaveEditor();
        EXPECT_EQ(wave->Timeline().Track2(), &window.Track(2));
        // The longer track sets the markers.
        EXPECT_EQ(wave->GetEndMarker(), 4 * 44100);

        window.OnGoBack();
        SetText(window, IDC_PAGE1_TRACK2_EDIT, {});
        EXPECT_TRUE(window.Track(2).path.empty());
        window.OnContinue();
        ASSERT_EQ(window.Page(), 1);
        EXPECT_EQ(wave->Timeline().Track1(), &window.Track(1));
        EXPECT_EQ(wave->Timeline().Track2(), nullptr);
        EXPECT_EQ(wave->GetEndMarker(), 2 * 44100);
    });
}

TEST_F(MainWindowTest, AnEmptyKeyStoreGivesTheDefaultSettings) {
    const ProgramSettings settings = ReadProgramSettings();
    EXPECT_EQ(settings.volume, 100);
    EXPECT_TRUE(settings.loop);
    EXPECT_TRUE(settings.fadeIn);
    EXPECT_TRUE(settings.fadeOut);
    EXPECT_EQ(settings.lastComputerFolder, "");
    EXPECT_EQ(settings.formatIndex, 0);
    EXPECT_EQ(settings.channels, 1);
    EXPECT_EQ(settings.bitrate, 1);
    EXPECT_EQ(settings.normalize, static_cast<int>(NormalizeMode::Peak));
    EXPECT_EQ(settings.preset, 0);
    EXPECT_FALSE(settings.limiter);
    EXPECT_EQ(settings.ringtoneLoudness, -140);
    EXPECT_EQ(settings.notificationLoudness, -180);
    EXPECT_FALSE(settings.overwrite);

    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        auto check = [&](int id) { return qobject_cast<CSCButton*>(window.Skin().GetControl(id))->GetCheck(); };
        EXPECT_EQ(check(IDC_PAGE2_REPEAT), 1);
        EXPECT_EQ(check(IDC_PAGE2_FADE_IN), 1);
        EXPECT_EQ(check(IDC_PAGE2_FADE_OUT), 1);
        EXPECT_EQ(window.Saver().normalizeMode, NormalizeMode::Peak);
        EXPECT_FALSE(window.Saver().limiter);
        EXPECT_DOUBLE_EQ(window.Saver().loudnessTarget, -14.0);
        EXPECT_EQ(check(IDC_PAGE3_OVERWRITE), 0);
        EXPECT_FALSE(window.Skin().GetControl(IDC_PAGE2_EFFECT1)->isEnabled());
        auto* slider = qobject_cast<CSCSlider*>(window.Skin().GetControl(IDC_PAGE2_VOLUME_SLIDER));
        EXPECT_EQ(slider->GetRangeMax(), 200);
        EXPECT_EQ(slider->GetPos(), 100);
        EXPECT_EQ(TextOf(window, IDC_PAGE2_VOLUME_INFO), QStringLiteral("Volume: 100%"));
        EXPECT_FLOAT_EQ(app_.Volume().Volume(), 1.0f);
        EXPECT_EQ(app_.Player().IsRepeat(), 1);
    });
}

TEST_F(MainWindowTest, StoredSettingsReachTheWindow) {
    ASSERT_TRUE(WriteProfileInt("General", "Volume", 150));
    ASSERT_TRUE(WriteProfileInt("General", "Loop", 0));
    ASSERT_TRUE(WriteProfileInt("Save", "Overwrite", 1));
    ASSERT_TRUE(WriteProfileInt("Save", "Channels", 0));
    EXPECT_EQ(ReadProgramSettings().channels, 0);
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        EXPECT_EQ(qobject_cast<CSCSlider*>(window.Skin().GetControl(IDC_PAGE2_VOLUME_SLIDER))->GetPos(), 150);
        EXPECT_EQ(TextOf(window, IDC_PAGE2_VOLUME_INFO), QStringLiteral("Volume: 150%"));
        EXPECT_FLOAT_EQ(app_.Volume().Volume(), 1.5f);
        EXPECT_EQ(app_.Player().IsRepeat(), 0);
        EXPECT_EQ(qobject_cast<CSCButton*>(window.Skin().GetControl(IDC_PAGE3_OVERWRITE))->GetCheck(), 1);
    });
}

TEST_F(MainWindowTest, TheExitQuestionsNoKeepsTheWindowAndStoresNothing) {
    CTessalyDlg window(app_);
    const int result = RunWindow(window, [&] {
        qobject_cast<CSCSlider*>(window.Skin().GetControl(IDC_PAGE2_VOLUME_SLIDER))->SetPos(170);
        Answer() = IDNO;
        window.close();
        EXPECT_TRUE(window.isVisible());
        ASSERT_EQ(Shown().size(), 1u);
        EXPECT_EQ(Shown()[0].text, "Do you really want to exit Qo Morvane?");
        EXPECT_EQ(Shown()[0].type, static_cast<uint32_t>(MB_YESNO | MB_ICONWARNING));
        EXPECT_EQ(GetProfileInt("General", "Volume", -1), -1);
        Answer() = IDYES;
        window.close();
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(GetProfileInt("General", "Volume", -1), 170);
}

TEST_F(MainWindowTest, TheVisiblePageFillsTheWindowButNeverShrinksBelowItsSkinSize) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Qo Morvane 1.0"));
        CSkinBase* edit = window.Skin().GetControl(IDC_PAGE1_TRACK1_EDIT);
        QWidget* page = edit->parentWidget();
        window.resize(1000, 700);
        EXPECT_EQ(page->size(), QSize(1000, 700));
        window.resize(640, 480);
        EXPECT_EQ(page->size(), QSize(800, 600));
        window.resize(900, 500);
        EXPECT_EQ(page->size(), QSize(900, 600));
    });
}

// The search boxes of the three pages, in page order.
std::vector<CSkinBase*> SearchBoxes(CTessalyDlg& window) {
    std::vector<CSkinBase*> boxes;
    for (const _CONTROL_INFO_STRUCT_& entry : window.Skin().Table())
        if (entry.name != nullptr && entry.commandId == IDC_COMMON_SEARCH_EDIT)
            for (_MAINFRAME_CONTROL_* node = entry.instances; node != nullptr; node = node->next)
                boxes.insert(boxes.begin(), node->control.data());
    return boxes;
}

TEST_F(MainWindowTest, ThePageChangeCarriesTheEditedSearchTextToEveryPage) {
    const std::string tone = Tone("tone.wav", 1.5, "-c:a pcm_s16le");
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        const std::vector<CSkinBase*> boxes = SearchBoxes(window);
        ASSERT_EQ(boxes.size(), 3u);
        boxes[0]->SetWindowText(QStringLiteral("rock"));
        SetText(window, IDC_PAGE1_TRACK1_EDIT, QString::fromStdString(tone));
        window.OnContinue();
        ASSERT_EQ(window.Page(), 1);
        for (CSkinBase* box : boxes) EXPECT_EQ(box->GetWindowText(), QStringLiteral("rock"));
        // The box that differs from the other two wins, whichever page it is on.
        boxes[1]->SetWindowText(QStringLiteral("jazz"));
        window.OnGoBack();
        for (CSkinBase* box : boxes) EXPECT_EQ(box->GetWindowText(), QStringLiteral("jazz"));
    });
}

}  // namespace
