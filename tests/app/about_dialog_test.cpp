// The about box: its three tabs, the copy of the computer information and its answers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTextBrowser>

#include "app/about_dialog.h"
#include "app/control_tables.h"
#include "app/program.h"
#include "audiosvc/audiosvc.h"
#include "skin/buttons.h"
#include "skin/skin_base.h"
#include "skin/statics.h"
#include "tests/app/ui_test_support.h"

namespace {

class AboutDialogTest : public testing::Test {
protected:
    void SetUp() override {
        TestApp();
        LoadDefaultSkin();
    }

    static int ShowAbout(const std::function<void(CAboutDlg&)>& interact) {
        return WithModalDialog<CAboutDlg>(
            [] {
                CAboutDlg dialog(nullptr);
                return dialog.exec();
            },
            interact);
    }

    static CSkinBase* Control(CAboutDlg& dialog, int command) { return dialog.Skin().GetControl(command); }
    static CSCButton* Button(CAboutDlg& dialog, int command) {
        return qobject_cast<CSCButton*>(Control(dialog, command));
    }

    // Which tab is checked and which information shows: "GCc" style, one letter per tab.
    static std::string TabState(CAboutDlg& dialog) {
        std::string state;
        for (auto [tab, info] : {std::pair{IDC_ABOUT_GENERAL, IDC_ABOUT_GENERAL_INFO},
                                 std::pair{IDC_ABOUT_COMPUTER, IDC_ABOUT_COMPUTER_INFO},
                                 std::pair{IDC_ABOUT_COPYRIGHT, IDC_ABOUT_COPYRIGHT_INFO}}) {
            state += Button(dialog, tab)->GetCheck() ? 'X' : '-';
            state += Control(dialog, info)->isVisible() ? 'V' : '-';
        }
        return state;
    }
};

TEST_F(AboutDialogTest, OpensOnTheGeneralTabWithTheVersionAndHomePage) {
    EXPECT_EQ(ShowAbout([](CAboutDlg& dialog) {
                  EXPECT_EQ(TabState(dialog), "XV----");
                  EXPECT_FALSE(Control(dialog, IDC_ABOUT_COPY)->isEnabled());
                  const QString general = Control(dialog, IDC_ABOUT_GENERAL_INFO)->GetWindowText();
                  EXPECT_TRUE(general.contains("Morvane 1.0.12"));
                  EXPECT_TRUE(general.contains(QStringLiteral(__DATE__).right(4))) << "the build year";
                  EXPECT_EQ(general.count(kMakerHomePage), 2);
                  EXPECT_FALSE(general.contains("%")) << "every argument was filled in";
                  EXPECT_EQ(Control(dialog, IDC_ABOUT_COPY)->toolTip(), "Copy to clipboard");
                  SaveScreenshot(dialog, "about_general.png");
                  Button(dialog, IDC_ABOUT_OK)->Click();
              }),
              IDOK);
}

TEST_F(AboutDialogTest, TabsSwitchTheInformationAndOnlyTheComputerTabCopies) {
    QApplication::clipboard()->setText("before");
    ShowAbout([](CAboutDlg& dialog) {
        Button(dialog, IDC_ABOUT_COMPUTER)->Click();
        EXPECT_EQ(TabState(dialog), "--XV--");
        EXPECT_TRUE(Control(dialog, IDC_ABOUT_COPY)->isEnabled());
        const QString info = Control(dialog, IDC_ABOUT_COMPUTER_INFO)->GetWindowText();
        EXPECT_TRUE(info.contains("Processor"));
        SaveScreenshot(dialog, "about_computer.png");
        Button(dialog, IDC_ABOUT_COPY)->Click();
        EXPECT_EQ(QApplication::clipboard()->text(), info);

        // A click on the checked tab keeps it checked.
        Button(dialog, IDC_ABOUT_COMPUTER)->Click();
        EXPECT_EQ(TabState(dialog), "--XV--");

        Button(dialog, IDC_ABOUT_COPYRIGHT)->Click();
        EXPECT_EQ(TabState(dialog), "----XV");
        EXPECT_FALSE(Control(dialog, IDC_ABOUT_COPY)->isEnabled());
        auto* browser = qobject_cast<CSCHtmlBrowser*>(Control(dialog, IDC_ABOUT_COPYRIGHT_INFO));
        EXPECT_TRUE(browser->GetCurrentAddress().endsWith("plugins/info/copyrights/index.html"))
            << browser->GetCurrentAddress().toStdString();
        EXPECT_TRUE(browser->Browser()->toPlainText().contains("FFmpeg"));
        SaveScreenshot(dialog, "about_copyrights.png");

        Button(dialog, IDC_ABOUT_GENERAL)->Click();
        EXPECT_EQ(TabState(dialog), "XV----");
        dialog.close();
    });
}

TEST_F(AboutDialogTest, CloseAndEscapeCancel) {
    EXPECT_EQ(ShowAbout([](CAboutDlg& dialog) { Button(dialog, IDC_ABOUT_CLOSE)->Click(); }), IDCANCEL);
    EXPECT_EQ(ShowAbout([](CAboutDlg& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }), IDCANCEL);
    EXPECT_EQ(ShowAbout([](CAboutDlg& dialog) { QTest::keyClick(&dialog, Qt::Key_Return); }), IDOK);
}

}  // namespace
