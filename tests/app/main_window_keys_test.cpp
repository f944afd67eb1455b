// The main window with the keyboard: Tab and Shift+Tab over every page in reading order, the
// focus ring, page 2's shortcuts (Space, Home, End, Ctrl+plus, Ctrl+minus, Ctrl+0) and where
// the focus goes after a page change.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <set>
#include <vector>

#include "app/control_tables.h"
#include "app/main_window.h"
#include "app/waveform_editor.h"
#include "engine/render_chain.h"
#include "skin/buttons.h"
#include "skin/edits.h"
#include "skin/skin_base.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "tests/app/main_window_fixture.h"
#include "tests/app/ui_test_support.h"

namespace {

constexpr int64_t kSecond = 44100;

class KeysTest : public MainWindowTest {
protected:
    // Track 1 holds a tone; Continue leads to page 2 (and to page 3 when asked).
    void OpenPage(CTessalyDlg& window, int page) {
        if (window.Page() == 0)
            SetText(window, IDC_PAGE1_TRACK1_EDIT, QString::fromStdString(Tone("tone.wav", 4.0, "-c:a pcm_s16le")));
        while (window.Page() < page) {
            const int before = window.Page();
            window.OnContinue();
            ASSERT_EQ(window.Page(), before + 1);
        }
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QApplication::processEvents();
    }
    // The skin control that holds the keyboard focus (a text box's inner editor counts as
    // its box).
    static CSkinBase* FocusedControl() {
        for (QWidget* widget = QApplication::focusWidget(); widget != nullptr; widget = widget->parentWidget())
            if (auto* control = qobject_cast<CSkinBase*>(widget)) return control;
        return nullptr;
    }
    static int IdOf(CTessalyDlg& window, const CSkinBase* control) {
        return control ? window.Skin().FindCommandId(control->GetWindowId()) : 0;
    }
    // Presses Tab (or Shift+Tab) from `from` (the window itself when null) until the focus
    // comes back round; the command ids in the order the focus visited them.
    static std::vector<int> Walk(CTessalyDlg& window, bool forward, CSkinBase* from,
                                 std::vector<CSkinBase*>* visited = nullptr) {
        if (from)
            from->TakeFocus(true);
        else
            window.setFocus(Qt::OtherFocusReason);
        std::vector<int> ids;
        const CSkinBase* first = from;
        for (int step = 0; step < 100; ++step) {
            QTest::keyClick(QApplication::focusWidget(), forward ? Qt::Key_Tab : Qt::Key_Backtab);
            CSkinBase* control = FocusedControl();
            if (control == nullptr || control == first) break;
            if (first == nullptr) first = control;
            ids.push_back(IdOf(window, control));
            if (visited) visited->push_back(control);
        }
        return ids;
    }
    static CSkinBase* OnPage(CTessalyDlg& window, int commandId) {
        for (CSkinBase* control : window.findChildren<CSkinBase*>())
            if (IdOf(window, control) == commandId && control->isVisibleTo(&window)) return control;
        return nullptr;
    }
    // Every control of the shown page that takes the focus from the keyboard.
    static std::set<CSkinBase*> Reachable(CTessalyDlg& window) {
        std::set<CSkinBase*> controls;
        for (CSkinBase* control : window.findChildren<CSkinBase*>()) {
            if (!control->isVisibleTo(&window) || !control->isEnabled()) continue;
            QWidget* taker = control->focusProxy() ? control->focusProxy() : control;
            if (taker->focusPolicy() & Qt::TabFocus) controls.insert(control);
        }
        return controls;
    }
    // Tab and Shift+Tab visit the same controls in opposite orders, and every reachable one.
    void ExpectOrder(CTessalyDlg& window, std::vector<int> expected) {
        std::vector<CSkinBase*> visited;
        const std::vector<int> forward = Walk(window, true, nullptr, &visited);
        EXPECT_EQ(forward, expected);
        ASSERT_FALSE(visited.empty());
        EXPECT_EQ(std::set<CSkinBase*>(visited.begin(), visited.end()), Reachable(window));
        for (const CSkinBase* control : visited) EXPECT_TRUE(control->isVisible()) << IdOf(window, control);
        // Shift+Tab from the first control goes back round through the others.
        std::vector<int> backward = Walk(window, false, visited.front());
        std::reverse(backward.begin(), backward.end());
        EXPECT_EQ(backward, std::vector<int>(expected.begin() + 1, expected.end()));
    }
};

const std::vector<int> kTopBar = {IDC_TITLE_LINK, IDC_COMMON_SEARCH_EDIT, IDC_COMMON_SEARCH_BUTTON, IDC_MENU_HOME,
                                  IDC_MENU_HELP,  IDC_MENU_ABOUT,         IDC_COMMON_MINIMIZE,      IDC_COMMON_CLOSE};

std::vector<int> WithTopBar(std::initializer_list<int> page) {
    std::vector<int> ids = kTopBar;
    ids.insert(ids.end(), page);
    return ids;
}

TEST_F(KeysTest, TabAndShiftTabGoOverEveryControlOfEachPageInReadingOrder) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        std::vector<int> page1 = WithTopBar({IDC_PAGE1_TRACK1_EDIT, IDC_PAGE1_TRACK1_BROWSE, IDC_PAGE1_TRACK2_EDIT,
                                             IDC_PAGE1_TRACK2_BROWSE, IDC_PAGE1_RECORD});
        page1.push_back(IDC_COMMON_CONTINUE);
        ExpectOrder(window, page1);

        OpenPage(window, 1);
        ExpectOrder(
            window,
            WithTopBar(
                {IDC_PAGE2_PLAY,          IDC_PAGE2_REPEAT,          IDC_PAGE2_ZOOM_OUT,    IDC_PAGE2_ZOOM_IN,
                 IDC_PAGE2_ZOOM_FIT,      IDC_PAGE2_ZOOM_MENU,       IDC_PAGE2_SCROLLBAR,   IDC_PAGE2_TIME_START,
                 IDC_PAGE2_TIME_START_UP, IDC_PAGE2_TIME_START_DOWN, IDC_PAGE2_TIME_LEN,    IDC_PAGE2_TIME_LEN_UP,
                 IDC_PAGE2_TIME_LEN_DOWN, IDC_PAGE2_TIME_END,        IDC_PAGE2_TIME_END_UP, IDC_PAGE2_TIME_END_DOWN,
                 IDC_PAGE2_VOLUME_SLIDER, IDC_PAGE2_FADE_IN,         IDC_PAGE2_FADE_OUT,    IDC_PAGE2_EFFECT1_SET,
                 IDC_PAGE2_EFFECT2_SET,   IDC_PAGE2_EFFECT3_SET,     IDC_COMMON_GO_BACK,    IDC_COMMON_CONTINUE}));

        OpenPage(window, 2);
        // The warnings' buttons are hidden while nothing clips and the range is within the limit.
        ExpectOrder(window, WithTopBar({IDC_PAGE3_PRESET, IDC_PAGE3_TITLE, IDC_PAGE3_FORMAT, IDC_PAGE3_CHANNELS,
                                        IDC_PAGE3_BITRATE, IDC_PAGE3_NORMALIZE, IDC_PAGE3_OVERWRITE, IDC_PAGE3_RESET,
                                        IDC_PAGE3_PATH, IDC_PAGE3_BROWSE, IDC_COMMON_GO_BACK,
                                        IDC_PAGE3_CREATE_ANOTHER}));
        EXPECT_FALSE(window.Skin().GetControl(IDC_PAGE3_SEND)->isEnabled()) << "no destination yet";
    });
}

// Pixels of the ring's colour in the picture's first and last rows.
int RingPixels(const QImage& image, int firstRow, int rows) {
    const QColor ring = SkinPaletteColor(SKINCOLOR_FOCUS);
    int count = 0;
    for (int y = std::max(0, firstRow); y < std::min(image.height(), firstRow + rows); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - ring.red()) < 12 && std::abs(pixel.green() - ring.green()) < 12 &&
                std::abs(pixel.blue() - ring.blue()) < 12)
                ++count;
        }
    return count;
}

TEST_F(KeysTest, TheFocusedControlDrawsARingInsideItself) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        OpenPage(window, 1);
        for (int id : {IDC_PAGE2_PLAY, IDC_PAGE2_FADE_IN, IDC_PAGE2_VOLUME_SLIDER, IDC_COMMON_CONTINUE}) {
            CSkinBase* control = window.Skin().GetControl(id);
            ASSERT_NE(control, nullptr);
            window.setFocus(Qt::OtherFocusReason);
            const QImage plain = control->grab().toImage();
            control->TakeFocus(true);
            ASSERT_TRUE(control->IsFocusVisible()) << id;
            const QImage focused = control->grab().toImage();
            EXPECT_NE(plain, focused) << id;
            // Drawn inside the control's edges, top and bottom alike: nothing clips it.
            const int h = focused.height();
            EXPECT_GT(RingPixels(focused, 0, 4), RingPixels(plain, 0, 4)) << id;
            EXPECT_GT(RingPixels(focused, h - 4, 4), RingPixels(plain, h - 4, 4)) << id;
            // A click gives the focus without the ring.
            control->TakeFocus(false);
            EXPECT_EQ(control->grab().toImage(), plain) << id;
        }
    });
}

TEST_F(KeysTest, SpacePlaysAndStopsOnPage2ExceptInATextBox) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        OpenPage(window, 1);
        CWaveFormKel* wave = window.WaveEditor();
        auto* play = qobject_cast<CSCButton*>(window.Skin().GetControl(IDC_PAGE2_PLAY));
        ASSERT_TRUE(wave && play);
        EXPECT_TRUE(play->toolTip().endsWith(" (Space)"));
        wave->SetPlayPosition(0);
        // With the Continue button focused, Space plays instead of going to page 3.
        CSkinBase* next = OnPage(window, IDC_COMMON_CONTINUE);
        ASSERT_NE(next, nullptr);
        next->TakeFocus(true);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        EXPECT_EQ(window.Page(), 1);
        EXPECT_TRUE(wave->IsPlaying());
        EXPECT_EQ(play->GetCheck(), 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        EXPECT_FALSE(wave->IsPlaying());
        EXPECT_EQ(play->GetCheck(), 0);
        EXPECT_EQ(window.Page(), 1);

        // In a time box Space is typed.
        auto* start = qobject_cast<CSCEditBox2*>(window.Skin().GetControl(IDC_PAGE2_TIME_START));
        ASSERT_NE(start, nullptr);
        start->Editor()->setFocus(Qt::TabFocusReason);
        start->Editor()->setText("1");
        start->Editor()->end(false);
        QTest::keyClick(start->Editor(), Qt::Key_Space);
        EXPECT_EQ(start->Editor()->text(), "1 ");
        EXPECT_FALSE(wave->IsPlaying());

        // On page 1 Space is the focused button's again.
        window.OnGoBack();
        OnPage(window, IDC_COMMON_CONTINUE)->TakeFocus(true);
        const int shown = static_cast<int>(Shown().size());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        EXPECT_EQ(window.Page(), 1) << "Space pressed page 1's Continue";
        EXPECT_EQ(static_cast<int>(Shown().size()), shown);
    });
}

TEST_F(KeysTest, HomeEndAndTheZoomKeysOnPage2) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        OpenPage(window, 1);
        CWaveFormKel* wave = window.WaveEditor();
        ASSERT_NE(wave, nullptr);
        CSkinBase* next = OnPage(window, IDC_COMMON_CONTINUE);
        next->TakeFocus(true);
        const auto press = [&](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
        };

        wave->SetSelection(kSecond, 2 * kSecond);
        wave->SetPlayPosition(kSecond + kSecond / 2);
        wave->Refresh();
        press(Qt::Key_End);
        EXPECT_EQ(wave->GetPlayPosition(), 2 * kSecond);
        press(Qt::Key_Home);
        EXPECT_EQ(wave->GetPlayPosition(), kSecond);
        // Without a selection: the start and the end of the audio.
        wave->SetSelection(kSecond, kSecond);
        wave->Refresh();
        press(Qt::Key_End);
        EXPECT_EQ(wave->GetPlayPosition(), 4 * kSecond);
        press(Qt::Key_Home);
        EXPECT_EQ(wave->GetPlayPosition(), 0);
        EXPECT_EQ(wave->GetStartMarker(), kSecond) << "the selection stays";

        // Zoom: in halves, out doubles, 0 fits; the buttons' tooltips name the keys.
        EXPECT_TRUE(window.Skin().GetControl(IDC_PAGE2_ZOOM_IN)->toolTip().endsWith(" (Ctrl++)"));
        EXPECT_TRUE(window.Skin().GetControl(IDC_PAGE2_ZOOM_OUT)->toolTip().endsWith(" (Ctrl+-)"));
        EXPECT_TRUE(window.Skin().GetControl(IDC_PAGE2_ZOOM_FIT)->toolTip().endsWith(" (Ctrl+0)"));
        const uint32_t zoom = wave->GetZoom();
        ASSERT_GT(zoom, 2u);
        press(Qt::Key_Plus, Qt::ControlModifier);
        EXPECT_EQ(wave->GetZoom(), zoom / 2);
        press(Qt::Key_Equal, Qt::ControlModifier);
        EXPECT_EQ(wave->GetZoom(), zoom / 4);
        press(Qt::Key_Minus, Qt::ControlModifier);
        EXPECT_EQ(wave->GetZoom(), zoom / 2);
        wave->SetSelection(0, kSecond / 8);
        wave->Refresh();
        press(Qt::Key_0, Qt::ControlModifier);
        const uint32_t fitted = wave->GetZoom();
        EXPECT_LT(fitted, zoom / 2) << "an eighth of a second fits a closer zoom";
        EXPECT_GE(uint64_t(wave->width()) * fitted, uint64_t(kSecond / 8));
        EXPECT_EQ(TextOf(window, IDC_PAGE2_ZOOM_MENU), QStringLiteral("1:%1").arg(fitted));

        // A focused slider keeps its Home and End.
        CSkinBase* slider = window.Skin().GetControl(IDC_PAGE2_VOLUME_SLIDER);
        slider->TakeFocus(true);
        const int64_t position = wave->GetPlayPosition();
        press(Qt::Key_End);
        EXPECT_EQ(TextOf(window, IDC_PAGE2_VOLUME_INFO), "Volume: 200%");
        EXPECT_EQ(wave->GetPlayPosition(), position);
    });
}

TEST_F(KeysTest, APageChangeFocusesTheWayOnNeverTheLogo) {
    CTessalyDlg window(app_);
    // Enter on the focused Continue.
    const auto ContinueByKeyboard = [&] {
        OnPage(window, IDC_COMMON_CONTINUE)->TakeFocus(true);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    };
    const auto LogoHasFocus = [&] {
        for (CSkinBase* link : window.findChildren<CSkinBase*>())
            if (IdOf(window, link) == IDC_TITLE_LINK && link->hasFocus()) return true;
        return false;
    };
    RunWindow(window, [&] {
        const std::string tone = Tone("tone.wav", 2.0, "-c:a pcm_s16le");
        SetText(window, IDC_PAGE1_TRACK1_EDIT, QString::fromStdString(tone));
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        // By keyboard: Enter on Continue; the next page's Continue takes the focus with its ring.
        ContinueByKeyboard();
        ASSERT_EQ(window.Page(), 1);
        // The progress window of the opening took the activation for a while.
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QApplication::processEvents();
        CSkinBase* focused = FocusedControl();
        EXPECT_EQ(IdOf(window, focused), IDC_COMMON_CONTINUE)
            << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "none");
        ASSERT_NE(focused, nullptr);
        EXPECT_TRUE(focused->isVisible());
        EXPECT_TRUE(focused->IsFocusVisible());
        EXPECT_FALSE(LogoHasFocus());
        // Onto the last page by keyboard: Save waits for a destination, so the button that
        // chooses one takes the focus, not the logo.
        ContinueByKeyboard();
        ASSERT_EQ(window.Page(), 2);
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QApplication::processEvents();
        ASSERT_FALSE(OnPage(window, IDC_PAGE3_SEND)->isEnabled());
        focused = FocusedControl();
        EXPECT_EQ(IdOf(window, focused), IDC_PAGE3_BROWSE);
        EXPECT_FALSE(LogoHasFocus());
        window.OnGoBack();
        ASSERT_EQ(window.Page(), 1);
        // By mouse: a click on Go back; the focus moves on without a ring.
        CSkinBase* back = OnPage(window, IDC_COMMON_GO_BACK);
        ASSERT_NE(back, nullptr);
        QTest::mouseClick(back, Qt::LeftButton, {}, back->rect().center());
        ASSERT_EQ(window.Page(), 0);
        QApplication::processEvents();
        focused = FocusedControl();
        EXPECT_EQ(IdOf(window, focused), IDC_COMMON_CONTINUE);
        ASSERT_NE(focused, nullptr);
        EXPECT_FALSE(focused->IsFocusVisible());
    });
}

}  // namespace
