// Page 3's "For:" presets, the normalize list and the quality list's greying for lossless
// rows, the title edit, the loudness line, and the two warnings with their remedies: the
// clipping warning that turns the limiter on and the over-limit warning that shortens the
// range. Pictures of the page with each preset and with the clipping warning.
#include <gtest/gtest.h>

#include <QApplication>

#include <algorithm>
#include <string>

#include "app/control_tables.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "app/waveform_editor.h"
#include "audiosvc/audiosvc.h"
#include "engine/ringtone_preset.h"
#include "skin/sliders.h"
#include "tests/app/page3_fixture.h"
#include "tests/app/ui_test_support.h"

namespace {

class Page3LevelTest : public MainWindowPage3Test {
protected:
    // Opens the tone on page 1 and goes on to page 3.
    void GoToPage3With(CTessalyDlg& window, const std::string& tone) {
        SetText(window, IDC_PAGE1_TRACK1_EDIT, QString::fromStdString(tone));
        window.OnContinue();
        window.OnContinue();
        ASSERT_EQ(window.Page(), 2) << (Shown().empty() ? "" : Shown().back().text);
    }
    // A tone just under full scale, raised by the volume slider until its crests clip.
    std::string LoudTone(double seconds) { return Tone("loud.wav", seconds, "-af volume=11.5dB -c:a pcm_s16le"); }
    static void SetVolume(CTessalyDlg& window, int percent) {
        auto* slider = qobject_cast<CSCSlider*>(window.Skin().GetControl(IDC_PAGE2_VOLUME_SLIDER));
        ASSERT_NE(slider, nullptr);
        slider->SetPos(percent);
        emit slider->command(slider->GetWindowId(), SCN_HSCROLL);
    }
    static bool Shows(CTessalyDlg& window, int id) {
        const CSkinBase* control = window.Skin().GetControl(id);
        return control != nullptr && control->isVisible();
    }
    static int PresetRow(RingtonePreset preset) { return static_cast<int>(preset); }
};

TEST_F(Page3LevelTest, APresetSetsTheListsAndTheLevelAndIsRemembered) {
    WriteProfileInt("Save", "NotificationLoudness", -200);
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        GoToPage3(window);
        CSCComboBox* preset = List(window, IDC_PAGE3_PRESET);
        ASSERT_EQ(preset->GetCount(), static_cast<int>(kPresets.size()));
        for (int row = 0; row < preset->GetCount(); ++row)
            EXPECT_EQ(preset->GetLBText(row).toStdString(), kPresets[row].caption);
        EXPECT_EQ(preset->GetWindowText(), "Any player");

        const int m4r = FormatRow(window, QoEncoderM4r);
        const int ogg = FormatRow(window, QoEncoderOgg);
        if (m4r < 0 || ogg < 0) GTEST_SKIP() << "needs the M4R and Ogg encoders";
        Choose(window, IDC_PAGE3_CHANNELS, 0);
        Choose(window, IDC_PAGE3_BITRATE, 2);
        Choose(window, IDC_PAGE3_PRESET, PresetRow(RingtonePreset::IPhoneRingtone));
        EXPECT_EQ(List(window, IDC_PAGE3_FORMAT)->GetCurSel(), m4r);
        EXPECT_EQ(List(window, IDC_PAGE3_CHANNELS)->GetWindowText(), "Stereo");
        EXPECT_EQ(List(window, IDC_PAGE3_BITRATE)->GetWindowText(), "128 kbps");
        EXPECT_EQ(List(window, IDC_PAGE3_NORMALIZE)->GetWindowText(), "Loudness");
        EXPECT_EQ(window.Saver().EncoderTag(), QoEncoderM4r);
        EXPECT_EQ(window.Saver().normalizeMode, NormalizeMode::Loudness);
        EXPECT_DOUBLE_EQ(window.Saver().loudnessTarget, -14.0);
        EXPECT_EQ(GetProfileInt("Save", "Preset", -5), PresetRow(RingtonePreset::IPhoneRingtone));
        EXPECT_EQ(GetProfileInt("Save", "FormatIndex", -5), m4r);
        EXPECT_EQ(GetProfileInt("Save", "Normalize", -5), 2);
        EXPECT_TRUE(TextOf(window, IDC_PAGE3_LOUDNESS).contains("Saved at <b>-14.0 LUFS</b>"))
            << TextOf(window, IDC_PAGE3_LOUDNESS).toStdString();

        // A notification takes the stored notification target.
        Choose(window, IDC_PAGE3_PRESET, PresetRow(RingtonePreset::AndroidNotification));
        EXPECT_EQ(List(window, IDC_PAGE3_FORMAT)->GetCurSel(), ogg);
        EXPECT_DOUBLE_EQ(window.Saver().loudnessTarget, -20.0);

        // Each setting can still be changed after the preset.
        Choose(window, IDC_PAGE3_NORMALIZE, 1);
        Choose(window, IDC_PAGE3_CHANNELS, 0);
        EXPECT_EQ(window.Saver().normalizeMode, NormalizeMode::Peak);
        EXPECT_EQ(window.Saver().OutputFormat().Format.nChannels, 1);
        EXPECT_EQ(List(window, IDC_PAGE3_PRESET)->GetWindowText(), "Android notification");
    });
    CTessalyDlg again(app_);
    RunWindow(again, [&] {
        GoToPage3(again);
        EXPECT_EQ(List(again, IDC_PAGE3_PRESET)->GetWindowText(), "Android notification");
        EXPECT_EQ(again.Saver().normalizeMode, NormalizeMode::Peak);
        EXPECT_DOUBLE_EQ(again.Saver().loudnessTarget, -20.0);
        EXPECT_EQ(List(again, IDC_PAGE3_CHANNELS)->GetWindowText(), "Mono");
    });
}

TEST_F(Page3LevelTest, TheQualityListIsGreyForLosslessRows) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        GoToPage3(window);
        const int flac = FormatRow(window, QoEncoderFlac);
        const int mp3 = FormatRow(window, kMp3);
        if (flac < 0 || mp3 < 0) GTEST_SKIP() << "needs the FLAC and MP3 encoders";
        Choose(window, IDC_PAGE3_FORMAT, flac);
        EXPECT_FALSE(List(window, IDC_PAGE3_BITRATE)->isEnabled());
        EXPECT_TRUE(TextOf(window, IDC_PAGE3_INFO).contains("FLAC"));
        Choose(window, IDC_PAGE3_FORMAT, mp3);
        EXPECT_TRUE(List(window, IDC_PAGE3_BITRATE)->isEnabled());
    });
}

TEST_F(Page3LevelTest, TheTitleComesFromTheTrackAndAnEditedOneIsSaved) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        GoToPage3(window);
        EXPECT_EQ(TextOf(window, IDC_PAGE3_TITLE), "tone") << "the file name without extension";
        const int mp3 = FormatRow(window, kMp3);
        if (mp3 < 0) GTEST_SKIP() << "needs the MP3 encoder";
        Choose(window, IDC_PAGE3_FORMAT, mp3);
        SetText(window, IDC_PAGE3_TITLE, QStringLiteral("Morning Bells"));
        EXPECT_EQ(window.Saver().Title(), "Morning Bells");
        ChooseFile(window, "bells.mp3");
        Answer() = IDOK;
        window.SaveOrSend();
        ASSERT_EQ(Shown().size(), 1u);
        EXPECT_EQ(Shown()[0].text, "File successfully saved!");
        EXPECT_EQ(Probe(target_ + "/bells.mp3", "format_tags=title"), "Morning Bells");
        // Back to the track's own title: no override is kept.
        SetText(window, IDC_PAGE3_TITLE, QStringLiteral("tone"));
        EXPECT_EQ(window.Saver().Title(), "tone");
    });
}

TEST_F(Page3LevelTest, AClippingRangeWarnsAndTheLimiterClearsTheWarning) {
    const std::string loud = LoudTone(2.0);
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        SetText(window, IDC_PAGE1_TRACK1_EDIT, QString::fromStdString(loud));
        window.OnContinue();
        SetVolume(window, 156);
        window.OnContinue();
        ASSERT_EQ(window.Page(), 2) << (Shown().empty() ? "" : Shown().back().text);
        ASSERT_TRUE(window.Saver().RangeLoudness().Clips());
        ASSERT_TRUE(Shows(window, IDC_PAGE3_CLIP_INFO));
        EXPECT_TRUE(Shows(window, IDC_PAGE3_USE_LIMITER));
        const QString warning = TextOf(window, IDC_PAGE3_CLIP_INFO);
        EXPECT_TRUE(warning.endsWith(" % of the ringtone clips")) << warning.toStdString();
        const double percent = warning.section(' ', 0, 0).toDouble();
        EXPECT_NEAR(percent, window.Saver().RangeLoudness().ClippedPercent(), 0.06);
        EXPECT_GT(percent, 1.0);
        EXPECT_FALSE(Shows(window, IDC_PAGE3_LIMIT_INFO)) << "no limit for any player";
        // Over full scale, the true peak shows its sign.
        EXPECT_TRUE(TextOf(window, IDC_PAGE3_LOUDNESS).contains("true peak <b>+"))
            << TextOf(window, IDC_PAGE3_LOUDNESS).toStdString();
        EXPECT_FALSE(TextOf(window, IDC_PAGE3_LOUDNESS).contains("Saved at"));

        // Loudness normalisation brings its own limiter: no warning.
        Choose(window, IDC_PAGE3_NORMALIZE, 2);
        EXPECT_FALSE(Shows(window, IDC_PAGE3_CLIP_INFO));
        Choose(window, IDC_PAGE3_NORMALIZE, 0);
        ASSERT_TRUE(Shows(window, IDC_PAGE3_CLIP_INFO));
        SaveScreenshot(window, QStringLiteral("main_window_page3_clipping.png"));

        Button(window, IDC_PAGE3_USE_LIMITER)->Click();
        EXPECT_TRUE(window.Saver().limiter);
        EXPECT_EQ(GetProfileInt("Save", "Limiter", -5), 1);
        EXPECT_FALSE(Shows(window, IDC_PAGE3_CLIP_INFO));
        EXPECT_FALSE(Shows(window, IDC_PAGE3_USE_LIMITER));

        Button(window, IDC_PAGE3_RESET)->Click();
        EXPECT_FALSE(window.Saver().limiter) << "reset turns the limiter off";
        EXPECT_TRUE(Shows(window, IDC_PAGE3_CLIP_INFO));
    });
}

TEST_F(Page3LevelTest, ARangeOverThePresetsLimitIsShortenedOnRequest) {
    const std::string tone = Tone("long.wav", 32.0, "-c:a pcm_s16le");
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        GoToPage3With(window, tone);
        if (FormatRow(window, QoEncoderM4r) < 0) GTEST_SKIP() << "needs the M4R encoder";
        EXPECT_FALSE(Shows(window, IDC_PAGE3_LIMIT_INFO));
        Choose(window, IDC_PAGE3_PRESET, PresetRow(RingtonePreset::IPhoneAlert));
        ASSERT_TRUE(Shows(window, IDC_PAGE3_LIMIT_INFO));
        EXPECT_EQ(TextOf(window, IDC_PAGE3_LIMIT_INFO), "32.0 s: over the 30 s limit");
        EXPECT_EQ(TextOf(window, IDC_PAGE3_SHORTEN), "Shorten to 30 s");
        EXPECT_TRUE(Shows(window, IDC_PAGE3_SHORTEN));
        SaveScreenshot(window, QStringLiteral("main_window_page3_over_limit.png"));
        Choose(window, IDC_PAGE3_PRESET, PresetRow(RingtonePreset::IPhoneRingtone));
        EXPECT_FALSE(Shows(window, IDC_PAGE3_LIMIT_INFO)) << "32 s is within a ringtone's 40 s";
        Choose(window, IDC_PAGE3_PRESET, PresetRow(RingtonePreset::IPhoneAlert));

        CWaveFormKel* wave = window.WaveEditor();
        ASSERT_NE(wave, nullptr);
        CSCButton* fadeOut = Button(window, IDC_PAGE2_FADE_OUT);
        if (fadeOut->GetCheck() != 0) fadeOut->Click();
        ASSERT_EQ(fadeOut->GetCheck(), 0);
        const int64_t start = std::min(wave->GetStartMarker(), wave->GetEndMarker());
        Button(window, IDC_PAGE3_SHORTEN)->Click();
        const uint32_t rate = RingtoneTimeline::MixFormat().Format.nSamplesPerSec;
        EXPECT_EQ(window.Saver().ExportFrames(), 30u * rate);
        EXPECT_EQ(std::min(wave->GetStartMarker(), wave->GetEndMarker()), start) << "the start is kept";
        EXPECT_EQ(fadeOut->GetCheck(), 1) << "a fade-out at the new end";
        EXPECT_FALSE(Shows(window, IDC_PAGE3_LIMIT_INFO));
        EXPECT_FALSE(Shows(window, IDC_PAGE3_SHORTEN));
    });
}

TEST_F(Page3LevelTest, PicturesOfEachPreset) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        GoToPage3(window);
        for (const PresetSettings& preset : kPresets) {
            Choose(window, IDC_PAGE3_PRESET, PresetRow(preset.preset));
            EXPECT_EQ(List(window, IDC_PAGE3_PRESET)->GetWindowText().toStdString(), preset.caption);
            SaveScreenshot(window, QStringLiteral("main_window_page3_preset_%1.png").arg(preset.name));
        }
    });
}

}  // namespace
