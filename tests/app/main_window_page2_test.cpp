// Page 2 of the main window: the time boxes and the editor's markers, the volume slider and
// the gain of the chain, fades, zoom limits, play and stop, the effect slots and their settings windows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <cmath>

#include "app/control_tables.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "app/waveform_editor.h"
#include "contracts/effect_tree_api.h"
#include "contracts/sound_data.h"
#include "effecttree/effect_node.h"
#include "engine/render_chain.h"
#include "skin/buttons.h"
#include "skin/control_records.h"
#include "skin/edits.h"
#include "skin/menu.h"
#include "skin/skin_base.h"
#include "skin/sliders.h"
#include "tests/app/main_window_fixture.h"
#include "tests/app/ui_test_support.h"
#include "tests/platform/scoped_env.h"

namespace {

constexpr int64_t kSecond = 44100;

class Page2Test : public MainWindowTest {
protected:
    // Opens a tone of the given length in track 1 and goes on to page 2.
    void OpenPage2(CTessalyDlg& window, double seconds) {
        const std::string tone = Tone("tone.wav", seconds, "-c:a pcm_s16le");
        SetText(window, IDC_PAGE1_TRACK1_EDIT, QString::fromStdString(tone));
        window.OnContinue();
        ASSERT_EQ(window.Page(), 1);
        QApplication::processEvents();
    }
    // What the control would report to the window.
    static void Notify(CTessalyDlg& window, int commandId, int code) {
        CSkinBase* control = window.Skin().GetControl(commandId);
        ASSERT_NE(control, nullptr);
        emit control->command(control->GetWindowId(), code);
    }
    static void Click(CTessalyDlg& window, int commandId) {
        auto* button = qobject_cast<CSCButton*>(window.Skin().GetControl(commandId));
        ASSERT_NE(button, nullptr);
        button->Click();
    }
    static void TypeTimes(CTessalyDlg& window, const QString& start, const QString& end, const QString& length,
                          int committed) {
        SetText(window, IDC_PAGE2_TIME_START, start);
        SetText(window, IDC_PAGE2_TIME_END, end);
        SetText(window, IDC_PAGE2_TIME_LEN, length);
        Notify(window, committed, SCN_COMMIT);
    }
    // The left channel of the marked range as the export renders it through the chain.
    static std::vector<float> Rendered(CWaveFormKel& wave) {
        RingtoneTimeline& timeline = wave.Timeline();
        EXPECT_EQ(timeline.SetUpExport(), EFF_OK);
        SoundBlock block(2, 4096);
        std::vector<float> left;
        for (uint32_t n; (n = timeline.PullExport(block.get())) > 0;)
            left.insert(left.end(), block->channels[0], block->channels[0] + n);
        timeline.CloseChain();
        return left;
    }
    static float RenderedPeak(CWaveFormKel& wave) {
        float peak = 0.0f;
        for (float sample : Rendered(wave)) peak = std::max(peak, std::fabs(sample));
        return peak;
    }
};

TEST(Page2Times, TimeTextsParseFromTheRightAndFormat) {
    // Groups are read from the right (SS, MM:SS, HH:MM:SS), the fraction as a decimal one.
    const std::pair<const char*, int64_t> table[] = {
        {"00:01:30.500", 90500},
        {"1:30", 90000},
        {"45:30", 45 * 60000 + 30000},
        {"5.5", 5500},
        {"1:02.25", 62250},
        {"7", 7000},
        {"2x250", 2250},
        {"0.05", 50},
        {"1:2:3:4", 3723400},
        {"01:00:00", 3600000},
        {"90", 90000},
        {"0:0.1239", 123},  // beyond milliseconds: truncated
        {"00:00:04.000", 4000},
        {"1:00:00:000", 3600000},
    };
    for (const auto& [text, ms] : table) EXPECT_EQ(CTessalyDlg::ParseTimeText(text), ms) << text;
    for (const char* bad : {"", "abc", "-5", "12.", " 5", "1:", ":30", "1:2:3:4:5", "99999999999999999999"})
        EXPECT_FALSE(CTessalyDlg::ParseTimeText(bad).has_value()) << bad;
    EXPECT_EQ(CTessalyDlg::FormatTime(0), "00:00:00.000");
    EXPECT_EQ(CTessalyDlg::FormatTime(3723004), "01:02:03.004");
}

TEST_F(Page2Test, TypedTimesMoveTheMarkersAndTheMarkersShowInTheBoxes) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        OpenPage2(window, 4.0);
        CWaveFormKel* wave = window.WaveEditor();
        ASSERT_NE(wave, nullptr);
        EXPECT_EQ(TextOf(window, IDC_PAGE2_TIME_START), "00:00:00.000");
        EXPECT_EQ(TextOf(window, IDC_PAGE2_TIME_END), "00:00:04.000");
        EXPECT_EQ(TextOf(window, IDC_PAGE2_TIME_LEN), "00:00:04.000");

        // Length unchanged: start and end are taken.
        TypeTimes(window, "0.500", "00:00:02.000", "00:00:04.000", IDC_PAGE2_TIME_START);
        EXPECT_EQ(wave->GetStartMarker(), kSecond / 2);
        EXPECT_EQ(wave->GetEndMarker(), 2 * kSecond);
        EXPECT_EQ(wave->GetPlayPosition(), 2 * kSecond);
        EXPECT_EQ(TextOf(window, IDC_PAGE2_TIME_LEN), "00:00:01.500");

        // A changed length sets the end from the start.
        TypeTimes(window, "00:00:00.500", "00:00:02.000", "1.200", IDC_PAGE2_TIME_LEN);
        EXPECT_EQ(wave->GetStartMarker(), kSecond / 2);
        EXPECT_EQ(wave->GetEndMarker(), kSecond * 1700 / 1000);
        EXPECT_EQ(TextOf(window, IDC_PAGE2_TIME_END), "00:00:01.700");

        // A refused entry redraws the boxes and says why in the committed box's tooltip.
        const auto tooltip = [&](int id) { return window.Skin().GetControl(id)->toolTip(); };
        TypeTimes(window, "5", "2", "00:00:01.200", IDC_PAGE2_TIME_END);
        EXPECT_EQ(wave->GetStartMarker(), kSecond / 2);
        EXPECT_EQ(wave->GetEndMarker(), kSecond * 1700 / 1000);
        EXPECT_EQ(TextOf(window, IDC_PAGE2_TIME_START), "00:00:00.500");
        EXPECT_EQ(tooltip(IDC_PAGE2_TIME_END), "Define end point\nThe start must be before the end");
        TypeTimes(window, "soon", "2", "1", IDC_PAGE2_TIME_START);
        EXPECT_EQ(wave->GetEndMarker(), kSecond * 1700 / 1000);
        EXPECT_EQ(TextOf(window, IDC_PAGE2_TIME_START), "00:00:00.500") << "the boxes are redrawn";
        EXPECT_EQ(tooltip(IDC_PAGE2_TIME_START),
                  "Define start point\nType a time as SS, MM:SS or HH:MM:SS, with an optional .fraction");
        EXPECT_EQ(tooltip(IDC_PAGE2_TIME_END), "Define end point") << "one problem shows at a time";
        EXPECT_TRUE(Shown().empty());

        // An end past the audio is moved to the audio's end, and the box says so.
        TypeTimes(window, "1", "1:00", "00:00:01.200", IDC_PAGE2_TIME_END);
        EXPECT_EQ(wave->GetStartMarker(), kSecond);
        EXPECT_EQ(wave->GetEndMarker(), wave->Timeline().TracksEnd());
        EXPECT_EQ(wave->GetEndMarker(), 4 * kSecond);
        EXPECT_EQ(TextOf(window, IDC_PAGE2_TIME_END), "00:00:04.000");
        EXPECT_EQ(TextOf(window, IDC_PAGE2_TIME_LEN), "00:00:03.000");
        EXPECT_EQ(tooltip(IDC_PAGE2_TIME_END),
                  "Define end point\nThe ringtone ends at 00:00:04.000: the end was moved there");
        // Both ends past the audio would leave an empty range: refused, the selection stays.
        TypeTimes(window, "1:00:00", "2:00:00", "1:00:00", IDC_PAGE2_TIME_START);
        EXPECT_EQ(wave->GetStartMarker(), kSecond);
        EXPECT_EQ(wave->GetEndMarker(), 4 * kSecond);
        EXPECT_EQ(TextOf(window, IDC_PAGE2_TIME_END), "00:00:04.000") << "the boxes never go empty";
        EXPECT_EQ(tooltip(IDC_PAGE2_TIME_START),
                  "Define start point\nThe ringtone ends at 00:00:04.000: the start must be before it");
        // An accepted entry clears the explanation.
        TypeTimes(window, "2", "00:00:04.000", "00:00:03.000", IDC_PAGE2_TIME_START);
        EXPECT_EQ(wave->GetStartMarker(), 2 * kSecond);
        EXPECT_EQ(tooltip(IDC_PAGE2_TIME_START), "Define start point");

        // Without a selection the end and length boxes are empty; typing goes on working: a
        // start alone moves the play cursor, an end or length makes a range again.
        wave->SetSelection(kSecond, kSecond);
        wave->SetPlayPosition(kSecond);
        wave->Refresh();
        QApplication::processEvents();
        ASSERT_TRUE(TextOf(window, IDC_PAGE2_TIME_END).isEmpty());
        ASSERT_TRUE(TextOf(window, IDC_PAGE2_TIME_LEN).isEmpty());
        SetText(window, IDC_PAGE2_TIME_START, "1.5");
        Notify(window, IDC_PAGE2_TIME_START, SCN_COMMIT);
        EXPECT_EQ(wave->GetPlayPosition(), kSecond * 3 / 2);
        EXPECT_EQ(TextOf(window, IDC_PAGE2_TIME_START), "00:00:01.500");
        SetText(window, IDC_PAGE2_TIME_END, "3");
        Notify(window, IDC_PAGE2_TIME_END, SCN_COMMIT);
        EXPECT_EQ(wave->GetStartMarker(), kSecond * 3 / 2);
        EXPECT_EQ(wave->GetEndMarker(), 3 * kSecond);
        EXPECT_EQ(TextOf(window, IDC_PAGE2_TIME_LEN), "00:00:01.500");
        wave->SetSelection(kSecond, kSecond);
        wave->SetPlayPosition(kSecond);
        wave->Refresh();
        QApplication::processEvents();
        SetText(window, IDC_PAGE2_TIME_LEN, "0:02");
        Notify(window, IDC_PAGE2_TIME_LEN, SCN_COMMIT);
        EXPECT_EQ(wave->GetStartMarker(), kSecond);
        EXPECT_EQ(wave->GetEndMarker(), 3 * kSecond);

        // Back to the range the next checks expect.
        TypeTimes(window, "0.5", "1.7", "1.2", IDC_PAGE2_TIME_START);

        // Markers set in the editor show in the boxes on its change notification.
        wave->SetSelection(kSecond, 3 * kSecond + kSecond / 4);
        wave->Refresh();
        QApplication::processEvents();
        EXPECT_EQ(TextOf(window, IDC_PAGE2_TIME_START), "00:00:01.000");
        EXPECT_EQ(TextOf(window, IDC_PAGE2_TIME_END), "00:00:03.250");
        EXPECT_EQ(TextOf(window, IDC_PAGE2_TIME_LEN), "00:00:02.250");
    });
}

TEST_F(Page2Test, NudgeButtonsMoveOneEndByTenMilliseconds) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        OpenPage2(window, 3.0);
        CWaveFormKel* wave = window.WaveEditor();
        ASSERT_NE(wave, nullptr);
        TypeTimes(window, "1", "2", "1", IDC_PAGE2_TIME_START);
        Click(window, IDC_PAGE2_TIME_START_UP);
        EXPECT_EQ(wave->GetStartMarker(), kSecond * 1010 / 1000);
        Click(window, IDC_PAGE2_TIME_END_DOWN);
        EXPECT_EQ(wave->GetEndMarker(), kSecond * 1990 / 1000);
        Click(window, IDC_PAGE2_TIME_LEN_UP);
        EXPECT_EQ(wave->GetEndMarker(), 2 * kSecond);
        EXPECT_EQ(TextOf(window, IDC_PAGE2_TIME_LEN), "00:00:00.990");

        // An empty selection: raising the start changes nothing, lowering it opens 10 ms.
        wave->SetSelection(kSecond, kSecond);
        wave->SetPlayPosition(kSecond);
        Click(window, IDC_PAGE2_TIME_START_UP);
        EXPECT_EQ(wave->GetStartMarker(), kSecond);
        EXPECT_EQ(wave->GetEndMarker(), kSecond);
        Click(window, IDC_PAGE2_TIME_START_DOWN);
        EXPECT_EQ(wave->GetStartMarker(), kSecond * 990 / 1000);
        EXPECT_EQ(wave->GetEndMarker(), kSecond);
    });
}

TEST_F(Page2Test, VolumeSliderSetsTheGainTheChainApplies) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        OpenPage2(window, 3.0);
        CWaveFormKel* wave = window.WaveEditor();
        auto* slider = qobject_cast<CSCSlider*>(window.Skin().GetControl(IDC_PAGE2_VOLUME_SLIDER));
        ASSERT_NE(slider, nullptr);
        // Fades off, so that the level is the gain alone.
        for (int fade : {IDC_PAGE2_FADE_IN, IDC_PAGE2_FADE_OUT}) Click(window, fade);
        ASSERT_FALSE(wave->Timeline().FadeIn());
        ASSERT_FALSE(wave->Timeline().FadeOut());

        // The slider as the user moves it: the window hears of the new position.
        const auto slide = [&](int percent) {
            slider->SetPos(percent);
            Notify(window, IDC_PAGE2_VOLUME_SLIDER, SCN_HSCROLL);
        };
        slide(100);
        const float unity = RenderedPeak(*wave);
        ASSERT_GT(unity, 0.05f);
        ASSERT_LT(unity, 0.45f);
        slide(200);
        EXPECT_EQ(TextOf(window, IDC_PAGE2_VOLUME_INFO), "Volume: 200%");
        EXPECT_NEAR(RenderedPeak(*wave) / unity, 2.0f, 0.01f);
        slide(50);
        EXPECT_NEAR(RenderedPeak(*wave) / unity, 0.5f, 0.01f);
        EXPECT_EQ(TextOf(window, IDC_PAGE2_VOLUME_INFO), "Volume: 50%");
    });
}

TEST_F(Page2Test, FadesAndRepeatReachTheTimelineThePlayerAndTheSettings) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        OpenPage2(window, 2.0);
        CWaveFormKel* wave = window.WaveEditor();
        ASSERT_TRUE(wave->Timeline().FadeIn());
        ASSERT_TRUE(wave->Timeline().FadeOut());
        Click(window, IDC_PAGE2_FADE_IN);
        EXPECT_FALSE(wave->Timeline().FadeIn());
        EXPECT_TRUE(wave->Timeline().FadeOut());
        EXPECT_FALSE(ReadProgramSettings().fadeIn);
        Click(window, IDC_PAGE2_FADE_OUT);
        EXPECT_FALSE(wave->Timeline().FadeOut());
        EXPECT_FALSE(ReadProgramSettings().fadeOut);
        Click(window, IDC_PAGE2_FADE_IN);
        EXPECT_TRUE(wave->Timeline().FadeIn());
        EXPECT_TRUE(ReadProgramSettings().fadeIn);

        ASSERT_TRUE(app_.Player().IsRepeat());
        Click(window, IDC_PAGE2_REPEAT);
        EXPECT_FALSE(app_.Player().IsRepeat());
        EXPECT_FALSE(ReadProgramSettings().loop);
        Click(window, IDC_PAGE2_REPEAT);
        EXPECT_TRUE(app_.Player().IsRepeat());
        EXPECT_TRUE(ReadProgramSettings().loop);
    });
}

TEST_F(Page2Test, ZoomStaysWithinItsLimits) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        OpenPage2(window, 3.0);
        CWaveFormKel* wave = window.WaveEditor();
        for (int i = 0; i < 40; ++i) Click(window, IDC_PAGE2_ZOOM_IN);
        EXPECT_EQ(wave->GetZoom(), 1u);
        EXPECT_EQ(TextOf(window, IDC_PAGE2_ZOOM_MENU), "1:1");
        for (int i = 0; i < 40; ++i) Click(window, IDC_PAGE2_ZOOM_OUT);
        const uint64_t zoom = wave->GetZoom();
        EXPECT_GE(uint64_t(wave->width()) * zoom, uint64_t(wave->GetProjectLength()));
        EXPECT_LT(uint64_t(wave->width()) * (zoom / 2), uint64_t(wave->GetProjectLength()));
        EXPECT_EQ(TextOf(window, IDC_PAGE2_ZOOM_MENU), QStringLiteral("1:%1").arg(zoom));

        // The zoom menu lists 1 : 1, 1 : 2, ... while the halved length exceeds the width.
        std::vector<QString> entries;
        QString checked;
        window.SetPopupChooser([&](CSCMenu& menu) {
            for (QAction* entry : menu.actions()) {
                entries.push_back(entry->text());
                if (entry->isChecked()) checked = entry->text();
            }
            return 1001 + 2;
        });
        Click(window, IDC_PAGE2_ZOOM_MENU);
        ASSERT_GE(entries.size(), 2u);
        EXPECT_EQ(entries[0], "1 : 1");
        EXPECT_EQ(entries[1], "1 : 2");
        EXPECT_LE(entries.size(), 19u);
        EXPECT_EQ(checked, QStringLiteral("1 : %1").arg(zoom)) << "the current zoom is checked";
        EXPECT_EQ(wave->GetZoom(), 4u);
        EXPECT_EQ(TextOf(window, IDC_PAGE2_ZOOM_MENU), "1:4");
    });
}

TEST_F(Page2Test, PlayButtonStartsAndStopsAndTheEndUnchecksIt) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        OpenPage2(window, 3.0);
        CWaveFormKel* wave = window.WaveEditor();
        auto* play = qobject_cast<CSCButton*>(window.Skin().GetControl(IDC_PAGE2_PLAY));
        ASSERT_NE(play, nullptr);
        // Without repeat the preview ends at the range end.
        Click(window, IDC_PAGE2_REPEAT);
        ASSERT_FALSE(app_.Player().IsRepeat());
        TypeTimes(window, "1", "1.250", "0.250", IDC_PAGE2_TIME_START);
        wave->SetPlayPosition(kSecond);
        play->Click();
        EXPECT_TRUE(wave->IsPlaying());
        EXPECT_EQ(play->GetCheck(), 1);
        ASSERT_TRUE(WaitUntil([&] { return !wave->IsPlaying(); }, 10000));
        ASSERT_TRUE(WaitUntil([&] { return play->GetCheck() == 0; }, 5000)) << "the end unchecks the button";

        TypeTimes(window, "0", "2.500", "2.500", IDC_PAGE2_TIME_START);
        wave->SetPlayPosition(0);
        play->Click();
        ASSERT_TRUE(wave->IsPlaying());
        play->Click();
        EXPECT_FALSE(wave->IsPlaying());
        EXPECT_EQ(play->GetCheck(), 0);
    });
}

TEST_F(Page2Test, EffectSlotsPutTheirEffectIntoTheChainAndTakeItOut) {
    ::setenv("MORVANE_PLUGIN_DIR", MORVANE_BIN_DIR "/plugins", 1);
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        OpenPage2(window, 2.0);
        std::vector<QString> entries;
        QString pick;
        window.SetPopupChooser([&](CSCMenu& menu) {
            entries.clear();
            int id = 0;
            for (QAction* entry : menu.actions()) {
                entries.push_back(entry->text());
                if (entry->text() == pick) id = entry->data().toInt();
            }
            return id;
        });
        auto* check1 = qobject_cast<CSCButton*>(window.Skin().GetControl(IDC_PAGE2_EFFECT1));
        auto* check2 = qobject_cast<CSCButton*>(window.Skin().GetControl(IDC_PAGE2_EFFECT2));
        ASSERT_TRUE(check1 && check2);
        EXPECT_FALSE(check1->isEnabled());

        pick = "Delay";
        Click(window, IDC_PAGE2_EFFECT1_SET);
        ASSERT_FALSE(entries.empty()) << "the effect plug-ins did not load";
        EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end()));
        CEffectNode* delay = window.EffectSlot(IDC_PAGE2_EFFECT1_SET);
        ASSERT_NE(delay, nullptr);
        EXPECT_EQ(delay->GetCaption(), "Delay");
        EXPECT_TRUE(delay->IsChecked()) << "a chosen effect is active at once";
        EXPECT_TRUE(check1->isEnabled());
        EXPECT_EQ(check1->GetCheck(), 1);
        EXPECT_EQ(check1->GetWindowText(), "Delay");
        EXPECT_NE(window.EffectSettingsWindow(), nullptr) << "the chosen effect's settings open";

        // The delay changes what the chain renders; unchecked it leaves the chain.
        CWaveFormKel* wave = window.WaveEditor();
        const std::vector<float> delayed = Rendered(*wave);
        Click(window, IDC_PAGE2_EFFECT1);
        EXPECT_FALSE(delay->IsChecked());
        const std::vector<float> plain = Rendered(*wave);
        ASSERT_EQ(delayed.size(), plain.size());
        EXPECT_NE(delayed, plain);
        EXPECT_EQ(window.EffectSlot(IDC_PAGE2_EFFECT1_SET), delay);
        Click(window, IDC_PAGE2_EFFECT1);
        EXPECT_TRUE(delay->IsChecked());

        // The same effect chosen for slot 2 moves there.
        Click(window, IDC_PAGE2_EFFECT2_SET);
        EXPECT_EQ(window.EffectSlot(IDC_PAGE2_EFFECT1_SET), nullptr);
        EXPECT_EQ(window.EffectSlot(IDC_PAGE2_EFFECT2_SET), delay);
        EXPECT_TRUE(delay->IsChecked());
        EXPECT_FALSE(check1->isEnabled());
        EXPECT_EQ(check1->GetCheck(), 0);
        EXPECT_EQ(check1->GetWindowText(), "Effect 1");

        // Another effect for slot 2 takes the delay out.
        pick = "Wah-Wah";
        Click(window, IDC_PAGE2_EFFECT2_SET);
        CEffectNode* wah = window.EffectSlot(IDC_PAGE2_EFFECT2_SET);
        ASSERT_NE(wah, nullptr);
        EXPECT_EQ(wah->GetCaption(), "Wah-Wah");
        EXPECT_TRUE(wah->IsChecked());
        EXPECT_FALSE(delay->IsChecked());
        EXPECT_EQ(check2->GetWindowText(), "Wah-Wah");

        // No choice changes nothing.
        pick.clear();
        Click(window, IDC_PAGE2_EFFECT2_SET);
        EXPECT_EQ(window.EffectSlot(IDC_PAGE2_EFFECT2_SET), wah);

        TypeTimes(window, "0.400", "1.500", "1.100", IDC_PAGE2_TIME_START);
        QApplication::processEvents();
        SaveScreenshot(window, QStringLiteral("main_window_page2_effects.png"));
    });
    ::unsetenv("MORVANE_PLUGIN_DIR");
}

// A change in the effect's settings window reaches the chain through the window's change
// notification (posted to the wizard, which renews the effect in the chain).
TEST_F(Page2Test, ASettingsWindowChangeReachesTheChainThroughItsNotification) {
    ScopedEnv plugins("MORVANE_PLUGIN_DIR", MORVANE_BIN_DIR "/plugins");
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        OpenPage2(window, 1.0);
        window.SetPopupChooser([](CSCMenu& menu) {
            for (QAction* entry : menu.actions())
                if (entry->text() == "Delay") return entry->data().toInt();
            return 0;
        });
        Click(window, IDC_PAGE2_EFFECT1_SET);
        ASSERT_NE(window.EffectSlot(IDC_PAGE2_EFFECT1_SET), nullptr) << "the effect plug-ins did not load";
        QWidget* settings = window.EffectSettingsWindow();
        ASSERT_NE(settings, nullptr);
        QCheckBox* mute = nullptr;
        for (QCheckBox* box : settings->findChildren<QCheckBox*>())
            if (box->text() == "Mute") mute = box;
        ASSERT_NE(mute, nullptr);
        // The settings object is shared with the running stream, so muting the dry signal
        // leaves only the echo at once. The notification then renews the effect's stream:
        // its delay lines start empty, so the next block opens with 18 ms of silence where
        // the running stream would still carry the echo.
        CWaveFormKel* wave = window.WaveEditor();
        RingtoneTimeline& timeline = wave->Timeline();
        ASSERT_EQ(timeline.SetUpExport(), EFF_OK);
        SoundBlock block(2, 4096);
        const auto headPeak = [&] {
            constexpr uint32_t kHead = 700;  // under the 18 ms (794 frames) of the echo's delay
            return *std::max_element(block->channels[0], block->channels[0] + kHead,
                                     [](float a, float b) { return std::fabs(a) < std::fabs(b); });
        };
        ASSERT_EQ(timeline.PullExport(block.get()), 4096u);
        mute->click();
        ASSERT_EQ(timeline.PullExport(block.get()), 4096u);
        EXPECT_GT(std::fabs(headPeak()), 0.01f) << "the echo of the block before";
        QApplication::processEvents();
        ASSERT_EQ(timeline.PullExport(block.get()), 4096u);
        EXPECT_LT(std::fabs(headPeak()), 1e-6f) << "a renewed stream has no echo yet";
        timeline.CloseChain();

        // With the effect out of the chain a change does nothing to the sound.
        Click(window, IDC_PAGE2_EFFECT1);
        const std::vector<float> plain = Rendered(*wave);
        ASSERT_FALSE(plain.empty());
        mute->click();
        QApplication::processEvents();
        EXPECT_EQ(Rendered(*wave), plain);
    });
}

}  // namespace
