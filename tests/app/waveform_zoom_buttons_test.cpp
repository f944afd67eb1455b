// Page 2's zoom buttons and zoom menu on the waveform editor: the selection, or else the play
// cursor, stays in view.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/control_tables.h"
#include "app/main_window.h"
#include "app/waveform_editor.h"
#include "skin/buttons.h"
#include "skin/menu.h"
#include "skin/skin_base.h"
#include "tests/app/main_window_fixture.h"
#include "tests/app/ui_test_support.h"

namespace {

constexpr int64_t kSecond = 44100;

class ZoomButtonsTest : public MainWindowTest {
protected:
    // A twenty-second tone in track 1, then page 2.
    void OpenPage2(CTessalyDlg& window) {
        const std::string tone = Tone("tone.wav", 20.0, "-c:a pcm_s16le");
        SetText(window, IDC_PAGE1_TRACK1_EDIT, QString::fromStdString(tone));
        window.OnContinue();
        ASSERT_EQ(window.Page(), 1);
        QApplication::processEvents();
    }
    static void Click(CTessalyDlg& window, int commandId) {
        auto* button = qobject_cast<CSCButton*>(window.Skin().GetControl(commandId));
        ASSERT_NE(button, nullptr);
        button->Click();
    }
};

// The view start at zoom that puts frame at column x (rounded down to a whole column).
int64_t StartFor(int64_t frame, int x, uint32_t zoom) { return (frame - int64_t{x} * zoom) / zoom * zoom; }

TEST_F(ZoomButtonsTest, ButtonsAndMenuKeepTheSelectionOrTheCursorInView) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        OpenPage2(window);
        CWaveFormKel* wave = window.WaveEditor();
        ASSERT_NE(wave, nullptr);
        const int width = wave->width();
        ASSERT_GT(width, 400);
        const int middle = width / 2;
        // One second from 12 s; zoom fit as described (centred), then out, then in.
        wave->SetSelection(12 * kSecond, 13 * kSecond);
        wave->Refresh();
        Click(window, IDC_PAGE2_ZOOM_FIT);
        const uint32_t fit = wave->GetZoom();
        ASSERT_GE(fit * uint64_t(width), uint64_t(kSecond));
        EXPECT_LE(wave->GetViewStart(), 12 * kSecond);
        EXPECT_GE(wave->GetViewEnd(), 13 * kSecond);

        const int64_t selectionMiddle = 12 * kSecond + kSecond / 2;
        Click(window, IDC_PAGE2_ZOOM_OUT);
        EXPECT_EQ(wave->GetZoom(), 2 * fit);
        EXPECT_EQ(wave->GetViewStart(), StartFor(selectionMiddle, middle, 2 * fit));
        EXPECT_EQ(TextOf(window, IDC_PAGE2_ZOOM_MENU), QStringLiteral("1:%1").arg(2 * fit));
        Click(window, IDC_PAGE2_ZOOM_IN);
        EXPECT_EQ(wave->GetZoom(), fit);
        EXPECT_EQ(wave->GetViewStart(), StartFor(selectionMiddle, middle, fit));
        // Too long for the view at half the fitting zoom: shown from its start.
        Click(window, IDC_PAGE2_ZOOM_IN);
        EXPECT_EQ(wave->GetZoom(), fit / 2);
        EXPECT_EQ(wave->GetViewStart(), StartFor(12 * kSecond, 0, fit / 2));

        // The zoom menu does the same: 1 : 4 shows the selection's start.
        window.SetPopupChooser([](CSCMenu& menu) {
            const QAction* four = menu.FindItem(1003);
            return four != nullptr ? 1003 : 0;
        });
        Click(window, IDC_PAGE2_ZOOM_MENU);
        EXPECT_EQ(wave->GetZoom(), 4u);
        EXPECT_EQ(wave->GetViewStart(), 12 * kSecond);

        // No selection: the play cursor, off the view, comes to the middle.
        wave->SetSelection(15 * kSecond, 15 * kSecond);
        wave->SetPlayPosition(15 * kSecond);
        wave->Refresh();
        Click(window, IDC_PAGE2_ZOOM_OUT);
        EXPECT_EQ(wave->GetZoom(), 8u);
        EXPECT_EQ(wave->GetViewStart(), StartFor(15 * kSecond, middle, 8));
        // Now shown, it keeps its column.
        const int column = static_cast<int>((15 * kSecond - wave->GetViewStart()) / 8);
        Click(window, IDC_PAGE2_ZOOM_OUT);
        EXPECT_EQ(wave->GetViewStart(), StartFor(15 * kSecond, column, 16));
        EXPECT_GE(wave->GetPlayPosition(), wave->GetViewStart());
        EXPECT_LT(wave->GetPlayPosition(), wave->GetViewEnd());
    });
}

}  // namespace
