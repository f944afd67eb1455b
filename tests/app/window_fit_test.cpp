// The main window and its secondary windows on a screen: the least size keeps every control
// inside, a larger window gives the waveform editor the room, menus open under their button,
// dialogs open centred on their parent, the effect settings beside the main window, and
// rounded windows are cut by a mask. The screen is an offscreen one of 1600 x 1000 pixels;
// the same checks run again in child processes at double scale (3200 x 2000 pixels) and on
// a small 1024 x 600 screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QScreen>
#include <QTimer>

#include <cstdlib>
#include <string>

#include "app/about_dialog.h"
#include "app/control_tables.h"
#include "app/main_window.h"
#include "app/message_dialog.h"
#include "app/settings.h"
#include "audiosvc/audiosvc.h"
#include "skin/buttons.h"
#include "skin/menu.h"
#include "skin/panels.h"
#include "skin/skin_base.h"
#include "tests/app/main_window_fixture.h"
#include "tests/platform/scoped_env.h"

namespace {

// The screen is chosen before the shared application starts (the environment's SetUp).
const char* const kScreenVariable = "MORVANE_FIT_SCREEN";  // "width x height" in pixels
const bool kScreenChosen = [] {
    const char* chosen = std::getenv(kScreenVariable);
    const std::string size = chosen != nullptr ? chosen : "1600x1000";
    const std::string width = size.substr(0, size.find('x')), height = size.substr(size.find('x') + 1);
    const std::string path = "/tmp/morvane_fit_screen_" + std::to_string(getpid()) + ".json";
    QFile config(QString::fromStdString(path));
    if (!config.open(QIODevice::WriteOnly)) return false;
    config.write(("{\"screens\":[{\"name\":\"fit\",\"x\":0,\"y\":0,\"width\":" + width + ",\"height\":" + height +
                  ",\"logicalDpi\":96,\"logicalBaseDpi\":96,\"dpr\":1}]}")
                     .c_str());
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path).c_str(), 1);
    return true;
}();

QRect Available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// A control's rectangle in the window's coordinates.
QRect InWindow(const QWidget& control, const QWidget& window) {
    return QRect(control.mapTo(&window, QPoint(0, 0)), control.size());
}

CSkinBase* ShownControl(CTessalyDlg& window, int commandId) {
    for (CSkinBase* control : window.findChildren<CSkinBase*>())
        if (control->GetWindowId() > commandId && control->GetWindowId() <= commandId + 4 && control->isVisible() &&
            window.Skin().FindCommandId(control->GetWindowId()) == commandId)
            return control;
    return nullptr;
}

// Runs a modal dialog until `check` has looked at it shown.
void WhileShown(QDialog& dialog, const std::function<void()>& check) {
    QTimer::singleShot(0, &dialog, [&] {
        check();
        dialog.done(1);
    });
    dialog.exec();
}

void ExpectCutCorners(const QWidget& window, const char* what) {
    const QRegion mask = window.mask();
    EXPECT_FALSE(window.testAttribute(Qt::WA_TranslucentBackground)) << what << ": no compositor, no translucency";
    ASSERT_FALSE(mask.isEmpty()) << what;
    const int w = window.width(), h = window.height();
    for (const QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
        EXPECT_FALSE(mask.contains(corner)) << what << ": corner " << corner.x() << "," << corner.y();
    EXPECT_TRUE(mask.contains(QPoint(w / 2, h / 2))) << what;
    EXPECT_TRUE(mask.contains(QPoint(w / 2, 0))) << what << ": the edges stay";
}

class WindowFitTest : public MainWindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(kScreenChosen);
        MainWindowTest::SetUp();
    }
    ScopedEnv plugins_{"MORVANE_PLUGIN_DIR", MORVANE_BIN_DIR "/plugins"};
    void ToEditor(CTessalyDlg& window) {
        SetText(window, IDC_PAGE1_TRACK1_EDIT, QString::fromStdString(Tone("tone.wav", 3.0, "-c:a pcm_s16le")));
        window.OnContinue();
        ASSERT_EQ(window.Page(), 1);
        QApplication::processEvents();
    }
    // Every shown control of the shown page lies inside the window.
    static void ExpectControlsInside(CTessalyDlg& window, int page) {
        int seen = 0;
        for (CSkinBase* control : window.findChildren<CSkinBase*>()) {
            if (!control->isVisible()) continue;
            ++seen;
            EXPECT_TRUE(window.rect().contains(InWindow(*control, window)))
                << "page " << page << ": control " << control->GetWindowId() << " at " << InWindow(*control, window).x()
                << "," << InWindow(*control, window).y();
        }
        EXPECT_GE(seen, 14) << "page " << page;
    }
};

TEST_F(WindowFitTest, AtItsLeastSizeNoControlOfAnyPageIsCutOff) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        const QSize least = window.minimumSize();
        EXPECT_EQ(least, QSize(800, 600).boundedTo(Available().size())) << "the skin's page size";
        EXPECT_TRUE(Available().contains(window.frameGeometry())) << "the window starts on the screen";
        EXPECT_LE(std::abs(window.frameGeometry().center().x() - Available().center().x()), 1);
        window.resize(least);
        QApplication::processEvents();
        ExpectControlsInside(window, 1);
        ToEditor(window);
        ExpectControlsInside(window, 2);
        window.OnContinue();
        ASSERT_EQ(window.Page(), 2);
        QApplication::processEvents();
        ExpectControlsInside(window, 3);
    });
}

TEST_F(WindowFitTest, TheWindowOpensAtTheSizeOfTheLastRunHeldBetweenItsLeastSizeAndTheScreen) {
    const QSize least = QSize(800, 600).boundedTo(Available().size());
    const QSize larger = (least + QSize(150, 90)).boundedTo(Available().size());
    ASSERT_NE(larger, least) << "the test screen has no room beyond the least size";
    {
        CTessalyDlg window(app_);
        RunWindow(window, [&] {
            EXPECT_EQ(window.size(), least) << "nothing stored: the least size";
            window.resize(larger);
        });
    }
    EXPECT_EQ(GetProfileInt("Window", "Width", 0), larger.width());
    EXPECT_EQ(GetProfileInt("Window", "Height", 0), larger.height());
    EXPECT_EQ(GetProfileInt("Window", "Maximized", -1), 0);
    {
        CTessalyDlg window(app_);
        RunWindow(window, [&] {
            EXPECT_EQ(window.size(), larger);
            EXPECT_TRUE(Available().contains(window.frameGeometry()));
        });
    }
    // A stored size wider than the screen and lower than the least size.
    WriteProfileInt("Window", "Width", Available().width() + 500);
    WriteProfileInt("Window", "Height", 10);
    WriteProfileInt("Window", "Maximized", 1);
    {
        CTessalyDlg window(app_);
        RunWindow(window, [&] {
            EXPECT_TRUE(window.isMaximized());
            EXPECT_EQ(window.normalGeometry().size(), QSize(Available().width(), least.height()));
        });
    }
    EXPECT_EQ(GetProfileInt("Window", "Maximized", 0), 1);
    EXPECT_EQ(GetProfileInt("Window", "Width", 0), Available().width()) << "the size it comes back to";
}

TEST_F(WindowFitTest, ALargerWindowGivesTheEditorTheRoomAndMovesWhatLiesRightAndBelow) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        ToEditor(window);
        const int watched[] = {IDC_PAGE2_WAVE,        IDC_PAGE2_SCROLLBAR,     IDC_PAGE2_TIME_START,
                               IDC_PAGE2_EFFECT1_SET, IDC_PAGE2_VOLUME_SLIDER, IDC_PAGE2_ZOOM_MENU};
        std::map<int, QRect> before;
        for (int id : watched) {
            CSkinBase* control = ShownControl(window, id);
            ASSERT_NE(control, nullptr) << id;
            before[id] = InWindow(*control, window);
        }
        const QSize extra(300, 180);
        window.resize(window.size() + extra);
        QApplication::processEvents();
        const auto now = [&](int id) { return InWindow(*ShownControl(window, id), window); };
        EXPECT_EQ(now(IDC_PAGE2_WAVE).topLeft(), before[IDC_PAGE2_WAVE].topLeft());
        EXPECT_EQ(now(IDC_PAGE2_WAVE).size(), before[IDC_PAGE2_WAVE].size() + extra) << "the editor takes the room";
        EXPECT_EQ(now(IDC_PAGE2_WAVE).width(), window.WaveEditor()->width());
        EXPECT_EQ(now(IDC_PAGE2_SCROLLBAR),
                  before[IDC_PAGE2_SCROLLBAR].adjusted(0, extra.height(), extra.width(), extra.height()));
        EXPECT_EQ(now(IDC_PAGE2_TIME_START), before[IDC_PAGE2_TIME_START].translated(0, extra.height()));
        EXPECT_EQ(now(IDC_PAGE2_VOLUME_SLIDER), before[IDC_PAGE2_VOLUME_SLIDER].translated(0, extra.height()));
        EXPECT_EQ(now(IDC_PAGE2_EFFECT1_SET), before[IDC_PAGE2_EFFECT1_SET].translated(extra.width(), extra.height()));
        EXPECT_EQ(now(IDC_PAGE2_ZOOM_MENU), before[IDC_PAGE2_ZOOM_MENU].translated(extra.width(), 0));
        ExpectControlsInside(window, 2);
        // Smaller than the least size it does not get.
        window.resize(200, 200);
        EXPECT_EQ(window.size(), window.minimumSize());
    });
}

TEST_F(WindowFitTest, MenusOpenUnderTheirButtonOrAboveItWhenThereIsNoRoomBelow) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        ToEditor(window);
        QPoint opened;
        QRect button;
        QSize menuSize;
        int delayId = 0;
        window.SetPopupChooser([&](CSCMenu& menu) {
            EXPECT_NE(menu.PopupAnchor(), nullptr);
            if (menu.PopupAnchor() == nullptr) return 0;
            opened = menu.PopupPosition();
            button = QRect(menu.PopupAnchor()->mapToGlobal(QPoint(0, 0)), menu.PopupAnchor()->size());
            menuSize = menu.sizeHint();
            for (QAction* entry : menu.actions())
                if (entry->text() == "Delay") delayId = entry->data().toInt();
            return 0;
        });
        const QRect screen = Available();
        for (int id : {IDC_MENU_HELP, IDC_PAGE2_ZOOM_MENU, IDC_PAGE2_EFFECT1_SET}) {
            window.move(screen.topLeft());
            qobject_cast<CSCButton*>(ShownControl(window, id))->Click();
            EXPECT_EQ(opened, QPoint(button.left(), button.bottom() + 1)) << "under button " << id;
        }
        // With its button 20 pixels above the screen's bottom the effect menu opens above it.
        const QRect inWindow = InWindow(*ShownControl(window, IDC_PAGE2_EFFECT1_SET), window);
        window.move(screen.left(), screen.bottom() + 1 - 20 - (inWindow.bottom() + 1));
        qobject_cast<CSCButton*>(ShownControl(window, IDC_PAGE2_EFFECT1_SET))->Click();
        EXPECT_EQ(opened.y() + menuSize.height(), button.top()) << "above the button";
        EXPECT_TRUE(screen.contains(QRect(opened, menuSize)));
        EXPECT_NE(delayId, 0);
    });
}

TEST_F(WindowFitTest, EffectSettingsOpenBesideTheMainWindowWithTheEffectsCaption) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        ToEditor(window);
        window.SetPopupChooser([&](CSCMenu& menu) {
            for (QAction* entry : menu.actions())
                if (entry->text() == "Delay") return entry->data().toInt();
            return 0;
        });
        const QRect screen = Available();
        window.move(screen.topLeft());
        qobject_cast<CSCButton*>(ShownControl(window, IDC_PAGE2_EFFECT1_SET))->Click();
        QWidget* settings = window.EffectSettingsWindow();
        ASSERT_NE(settings, nullptr) << "the effect plug-ins did not load";
        QApplication::processEvents();
        EXPECT_TRUE(settings->isVisible());
        EXPECT_EQ(settings->windowTitle(), "Delay");
        const QRect placed = settings->frameGeometry();
        const QRect main = window.frameGeometry();
        EXPECT_TRUE(screen.contains(placed)) << "fully on the screen";
        if (main.right() + 1 + 12 + placed.width() <= screen.right() + 1) {
            EXPECT_EQ(placed.left(), main.right() + 1 + 12) << "to the right of the main window";
            EXPECT_EQ(placed.top(), std::min(main.top(), screen.bottom() + 1 - placed.height())) << "top-aligned";
        } else {
            // No room on either side (the main window is at the screen's left edge): centred on it.
            EXPECT_LE((placed.center() - main.center()).manhattanLength(), 2);
        }
        ExpectCutCorners(*settings, "effect settings");
        // Its close button is the skin's and closes it.
        CSkinBase* close = nullptr;
        for (CSkinBase* control : settings->findChildren<CSkinBase*>())
            if (control->isVisible()) close = control;
        ASSERT_NE(close, nullptr);
        qobject_cast<CSCButton*>(close)->Click();
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(window.EffectSettingsWindow(), nullptr);
    });
}

TEST_F(WindowFitTest, DialogsOpenCentredOnTheirParentOrOnTheScreenAndHaveCutCorners) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        window.move(Available().topLeft() + QPoint(40, 30));
        QApplication::processEvents();
        const QPoint centre = window.frameGeometry().center();
        CMessageDlg message(QStringLiteral("Centred"), MB_OK, {}, &window);
        WhileShown(message, [&] {
            EXPECT_LE((message.frameGeometry().center() - centre).manhattanLength(), 2) << "centred on its parent";
            ExpectCutCorners(message, "message box");
        });
        CAboutDlg about(&window);
        WhileShown(about, [&] {
            EXPECT_LE((about.frameGeometry().center() - centre).manhattanLength(), 2);
            ExpectCutCorners(about, "about box");
        });
        // Without a shown parent: the middle of the screen.
        QWidget hidden;
        CMessageDlg orphan(QStringLiteral("Centred on the screen"), MB_YESNO, {}, &hidden);
        WhileShown(orphan,
                   [&] { EXPECT_LE((orphan.frameGeometry().center() - Available().center()).manhattanLength(), 2); });
        // A menu's rounded corners are cut as well.
        CSCMenu menu(&window);
        menu.AppendMenu(CSCMenu::MF_STRING, 1, QStringLiteral("Entry"));
        menu.popup(window.mapToGlobal(QPoint(20, 20)));
        QApplication::processEvents();
        ExpectCutCorners(menu, "menu");
        menu.close();
    });
}

// The same checks at double scale and on a small screen, each in a child process (the scale
// and the screen are fixed when the application starts).
TEST(WindowFitScreens, HoldAtDoubleScaleAndOnASmallScreen) {
    if (std::getenv(kScreenVariable) != nullptr) GTEST_SKIP() << "a child run";
    const struct {
        const char* screen;
        const char* scale;
    } runs[] = {{"3200x2000", "2"}, {"1024x600", "1"}};
    for (const auto& run : runs) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(kScreenVariable), QString::fromLatin1(run.screen));
        environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(run.scale));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=WindowFitTest.*")});
        ASSERT_TRUE(child.waitForFinished(240000));
        EXPECT_EQ(child.exitCode(), 0) << run.screen << " at " << run.scale << "x:\n" << child.readAll().toStdString();
    }
}

}  // namespace
