// The one-time hints and their "Notified" settings in a private key store.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <cstdlib>

#include "app/control_tables.h"
#include "app/notify_dialog.h"
#include "app/settings.h"
#include "audiosvc/audiosvc.h"
#include "skin/buttons.h"
#include "tests/app/ui_test_support.h"

namespace {

class NotifyDialogTest : public testing::Test {
protected:
    void SetUp() override {
        TestApp();
        LoadDefaultSkin();
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) m_oldConfig = old;
        setenv("XDG_CONFIG_HOME", m_config.Path().c_str(), 1);
    }
    void TearDown() override {
        if (m_oldConfig.empty())
            unsetenv("XDG_CONFIG_HOME");
        else
            setenv("XDG_CONFIG_HOME", m_oldConfig.c_str(), 1);
    }

    // Shows the hint; `interact` answers it. Returns ShowNotify's result.
    static int Notify(const std::string& section, const std::function<void(CNotifyDlg&)>& interact) {
        return WithModalDialog<CNotifyDlg>([&] { return ShowNotify(section, nullptr); }, interact);
    }

    static CSCButton* Button(CNotifyDlg& dialog, int command) {
        return qobject_cast<CSCButton*>(dialog.Skin().GetControl(command));
    }

    static int Notified(const std::string& section) { return GetProfileInt(kNotifiedSection, section, -1); }

    ScratchFolder m_config;
    std::string m_oldConfig;
};

TEST_F(NotifyDialogTest, TickedAndConfirmedTheHintNeverComesBack) {
    EXPECT_EQ(Notify("NOTIFY_REC",
                     [](CNotifyDlg& dialog) {
                         EXPECT_EQ(Button(dialog, IDC_NOTIFY_DONT_SHOW)->GetWindowText(),
                                   "Don't show this message again");
                         EXPECT_EQ(Button(dialog, IDC_NOTIFY_OK)->GetWindowText(), "OK");
                         EXPECT_EQ(dialog.size(), QSize(420, 236));
                         SaveScreenshot(dialog, "notify_rec.png");
                         Button(dialog, IDC_NOTIFY_DONT_SHOW)->Click();
                         EXPECT_EQ(Button(dialog, IDC_NOTIFY_DONT_SHOW)->GetCheck(), 1);
                         Button(dialog, IDC_NOTIFY_OK)->Click();
                     }),
              IDOK);
    EXPECT_EQ(Notified("NOTIFY_REC"), 1);
    QApplication::processEvents();
    bool shown = false;
    QTimer::singleShot(0, [&] {
        shown = QApplication::activeModalWidget() != nullptr;
        if (shown) QApplication::activeModalWidget()->close();
    });
    EXPECT_EQ(ShowNotify("NOTIFY_REC", nullptr), 0);
    QApplication::processEvents();
    EXPECT_FALSE(shown);

    // The other hint keeps its own setting.
    EXPECT_EQ(Notified("NOTIFY_BT"), -1);
    EXPECT_EQ(Notify("NOTIFY_BT",
                     [](CNotifyDlg& dialog) {
                         SaveScreenshot(dialog, "notify_bt.png");
                         QTest::keyClick(&dialog, Qt::Key_Return);
                     }),
              IDOK);
    EXPECT_EQ(Notified("NOTIFY_BT"), 0) << "OK without the box stores 0";
}

TEST_F(NotifyDialogTest, UntickedOrEscapedTheHintShowsAgain) {
    EXPECT_EQ(Notify("NOTIFY_BT", [](CNotifyDlg& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }), IDCANCEL);
    EXPECT_EQ(Notified("NOTIFY_BT"), -1) << "Escape stores nothing";
    // Ticked and unticked again before OK.
    EXPECT_EQ(Notify("NOTIFY_BT",
                     [](CNotifyDlg& dialog) {
                         Button(dialog, IDC_NOTIFY_DONT_SHOW)->Click();
                         Button(dialog, IDC_NOTIFY_DONT_SHOW)->Click();
                         Button(dialog, IDC_NOTIFY_OK)->Click();
                     }),
              IDOK);
    EXPECT_EQ(Notified("NOTIFY_BT"), 0);
    EXPECT_EQ(Notify("NOTIFY_BT", [](CNotifyDlg& dialog) { Button(dialog, IDC_NOTIFY_OK)->Click(); }), IDOK);
}

}  // namespace
