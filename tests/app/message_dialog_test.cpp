// The skinned message dialog through the audio service library's message box: every button
// set with its captions, icon and answers, the system box for other sets, growth with the
// text, messages from other threads and a skin without the message sections.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <thread>

#include "app/control_tables.h"
#include "app/message_dialog.h"
#include "app/program.h"
#include "app/resources.h"
#include "audiosvc/audiosvc.h"
#include "skin/buttons.h"
#include "skin/skin_base.h"
#include "skin/statics.h"
#include "tests/app/ui_test_support.h"

namespace {

class MessageDialogTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        TestApp();
        InstallSkinnedMessageBox();
    }
    static void TearDownTestSuite() { ReplaceSCMessageBox(nullptr); }
    void SetUp() override { LoadDefaultSkin(); }

    // Shows a message through AfxSCMessageBox and lets `interact` work on the dialog.
    static int Show(uint32_t type, const char* text, const std::function<void(CMessageDlg&)>& interact,
                    const char* caption = "Morvane") {
        return WithModalDialog<CMessageDlg>([&] { return AfxSCMessageBox(text, type, caption, nullptr); }, interact);
    }

    static CSCButton* Button(CMessageDlg& dialog, int command) {
        return qobject_cast<CSCButton*>(dialog.Skin().GetControl(command));
    }

    static QStringList VisibleButtonTexts(CMessageDlg& dialog) {
        QStringList texts;
        for (int command : {IDC_MSG_OK, IDC_MSG_YES, IDC_MSG_NO})
            if (CSCButton* button = Button(dialog, command); button != nullptr && button->isVisible())
                texts << button->GetWindowText();
        return texts;
    }

    // The icon the dialog shows, as drawn at 32 x 32.
    static QImage ShownIcon(CMessageDlg& dialog) {
        CSkinBase* icon = dialog.Skin().GetControl(IDC_MSG_ICON);
        const QRect centre(QPoint((icon->width() - 32) / 2, (icon->height() - 32) / 2), QSize(32, 32));
        return icon->grab(centre).toImage().convertToFormat(QImage::Format_ARGB32);
    }

    static QImage ResourceIcon(int id) {
        QImage image(32, 32, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        LoadIconResource(id).paint(&painter, QRect(0, 0, 32, 32));
        return image;
    }

    // Whether the two pictures show the same icon (their opaque pixels agree closely).
    static bool SameIcon(const QImage& shown, const QImage& expected) {
        const QImage scaled = shown.scaled(32, 32);
        int differing = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QColor a = scaled.pixelColor(x, y), b = expected.pixelColor(x, y);
                if (b.alpha() < 250) continue;
                if (std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) > 30)
                    ++differing;
            }
        return differing < 20;
    }

    static bool ShowsNoIcon(CMessageDlg& dialog) {
        const QImage shown = ShownIcon(dialog);
        const QColor corner = shown.pixelColor(0, 0);
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (shown.pixelColor(x, y) != corner) return false;
        return true;
    }
};

TEST_F(MessageDialogTest, AQuestionWithYesAndNoShowsTheWarningIconAndAnswersSixOrSeven) {
    EXPECT_EQ(Show(0x24, "Do you want to save the ringtone?",
                   [](CMessageDlg& dialog) {
                       EXPECT_EQ(dialog.Skin().GetSectionName(), "MESSAGEBOX_2BTN");
                       EXPECT_EQ(VisibleButtonTexts(dialog), (QStringList{"Yes", "No"}));
                       EXPECT_TRUE(SameIcon(ShownIcon(dialog), ResourceIcon(IDI_WARNING)));
                       EXPECT_FALSE(SameIcon(ShownIcon(dialog), ResourceIcon(IDI_INFORMATION)));
                       SaveScreenshot(dialog, "message_yes_no.png");
                       Button(dialog, IDC_MSG_YES)->Click();
                   }),
              IDYES);
    EXPECT_EQ(Show(0x24, "Again?", [](CMessageDlg& dialog) { Button(dialog, IDC_MSG_NO)->Click(); }), IDNO);
    EXPECT_EQ(Show(0x24, "Again?", [](CMessageDlg& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }), IDNO);
    EXPECT_EQ(Show(0x24, "Again?", [](CMessageDlg& dialog) { QTest::keyClick(&dialog, Qt::Key_Return); }), IDYES);
}

TEST_F(MessageDialogTest, APlainMessageHasOneOkButtonAndTheInformationIcon) {
    EXPECT_EQ(Show(MB_OK, "The ringtone was saved.",
                   [](CMessageDlg& dialog) {
                       EXPECT_EQ(dialog.Skin().GetSectionName(), "MESSAGEBOX_1BTN");
                       EXPECT_EQ(VisibleButtonTexts(dialog), (QStringList{"OK"}));
                       EXPECT_TRUE(SameIcon(ShownIcon(dialog), ResourceIcon(IDI_INFORMATION)));
                       SaveScreenshot(dialog, "message_ok.png");
                       Button(dialog, IDC_MSG_OK)->Click();
                   }),
              IDOK);
    EXPECT_EQ(Show(MB_OK, "Escape", [](CMessageDlg& dialog) { dialog.close(); }), IDOK)
        << "closing a message with only OK answers OK";
}

TEST_F(MessageDialogTest, TwoButtonSetsGetTheirCaptionsAndAnswers) {
    struct Case {
        uint32_t type;
        QStringList captions;
        int yes;
        int no;
    };
    for (const Case& c :
         {Case{MB_OKCANCEL, {"OK", "Cancel"}, IDOK, IDCANCEL},
          Case{MB_RETRYCANCEL, {"Retry", "Cancel"}, IDRETRY, IDCANCEL},
          Case{0x09, {"Open Folder", "OK"}, IDOK, IDCANCEL}, Case{0x0A, {"Open Page", "OK"}, IDOK, IDCANCEL},
          Case{MB_YESNO, {"Yes", "No"}, IDYES, IDNO}}) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(Show(c.type, "Which?",
                       [&](CMessageDlg& dialog) {
                           EXPECT_EQ(VisibleButtonTexts(dialog), c.captions);
                           if (c.type == 0x09) SaveScreenshot(dialog, "message_open_folder.png");
                           Button(dialog, IDC_MSG_YES)->Click();
                       }),
                  c.yes);
        EXPECT_EQ(Show(c.type, "Which?", [](CMessageDlg& dialog) { Button(dialog, IDC_MSG_NO)->Click(); }), c.no);
        EXPECT_EQ(Show(c.type, "Which?", [](CMessageDlg& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }), c.no);
    }
}

TEST_F(MessageDialogTest, TheIconFollowsTheIconBits) {
    for (uint32_t icon : {0x10u, 0x20u, 0x30u})
        Show(MB_YESNO | icon, "Warning icon", [](CMessageDlg& dialog) {
            EXPECT_TRUE(SameIcon(ShownIcon(dialog), ResourceIcon(IDI_WARNING)));
            dialog.close();
        });
    Show(MB_OKCANCEL | 0x40, "Information icon", [](CMessageDlg& dialog) {
        EXPECT_TRUE(SameIcon(ShownIcon(dialog), ResourceIcon(IDI_INFORMATION)));
        dialog.close();
    });
    Show(MB_OK | 0x50, "No icon", [](CMessageDlg& dialog) {
        EXPECT_TRUE(ShowsNoIcon(dialog));
        dialog.close();
    });
}

TEST_F(MessageDialogTest, OtherButtonSetsUseTheSystemMessageBox) {
    const int result =
        WithModal([] { return AfxSCMessageBox("Reading failed.", MB_ABORTRETRYIGNORE, "Morvane", nullptr); },
                  [](QWidget& window) {
                      auto* box = qobject_cast<QMessageBox*>(&window);
                      ASSERT_NE(box, nullptr) << window.metaObject()->className();
                      EXPECT_EQ(box->text(), "Reading failed.");
                      EXPECT_EQ(box->windowTitle(), "Morvane");
                      box->button(QMessageBox::Retry)->click();
                  });
    EXPECT_EQ(result, IDRETRY);
}

TEST_F(MessageDialogTest, ALongMessageGrowsTheDialogByTheTextsExcess) {
    QSize shortSize, shortText;
    QPoint shortNoMargin;  // from the No button's bottom right corner to the dialog's
    Show(MB_YESNO, "Short", [&](CMessageDlg& dialog) {
        shortSize = dialog.size();
        shortText = dialog.Skin().GetControl(IDC_MSG_TEXT)->size();
        shortNoMargin =
            QPoint(dialog.width(), dialog.height()) - dialog.Skin().GetControl(IDC_MSG_NO)->geometry().bottomRight();
        dialog.close();
    });
    const char* text =
        "The ringtone is longer than most phones accept as a ringtone.\n"
        "Do you want to save it anyway?\n"
        "Choose No to go back and move the end marker.\n"
        "The marker is on the second page.";
    Show(MB_YESNO, text, [&](CMessageDlg& dialog) {
        SaveScreenshot(dialog, "message_long.png");
        auto* label = qobject_cast<CSCStatic*>(dialog.Skin().GetControl(IDC_MSG_TEXT));
        const QSize extent = label->GetTextExtent(QString::fromUtf8(text));
        EXPECT_GT(dialog.width(), shortSize.width());
        EXPECT_GT(dialog.height(), shortSize.height());
        // Grown by the excess, rounded up to whole pixels on each side.
        EXPECT_GE(label->width(), extent.width());
        EXPECT_LE(label->width(), extent.width() + 1);
        EXPECT_GE(label->height(), extent.height());
        EXPECT_LE(label->height(), extent.height() + 1);
        EXPECT_EQ(dialog.width() - shortSize.width(), label->width() - shortText.width());
        // The buttons moved with the dialog's bottom right corner.
        const QPoint corner(dialog.width(), dialog.height());
        EXPECT_EQ(corner - dialog.Skin().GetControl(IDC_MSG_NO)->geometry().bottomRight(), shortNoMargin);
        dialog.close();
    });
}

TEST_F(MessageDialogTest, AnEndlessLineIsWrappedSoTheDialogStaysOnTheScreen) {
    const QString sentence = QStringLiteral("The file could not be opened because it is not an audio file. ");
    const QString text = sentence.repeated(8);
    Show(MB_OK, text.toUtf8().constData(), [&](CMessageDlg& dialog) {
        SaveScreenshot(dialog, "message_wrapped.png");
        EXPECT_LE(dialog.width(), 700);
        auto* label = qobject_cast<CSCStatic*>(dialog.Skin().GetControl(IDC_MSG_TEXT));
        const QRect needed =
            label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 100000), Qt::TextWordWrap, text);
        EXPECT_LE(needed.height(), label->height()) << "every wrapped line fits";
        dialog.close();
    });
}

TEST_F(MessageDialogTest, WithoutACaptionTheApplicationNameIsTheTitle) {
    Show(
        MB_OK, "Untitled",
        [](CMessageDlg& dialog) {
            EXPECT_EQ(dialog.windowTitle(), kApplicationName);
            dialog.close();
        },
        nullptr);
}

TEST_F(MessageDialogTest, AMessageFromAWorkerThreadIsShownOnTheUserInterfaceThread) {
    std::atomic<int> result{0};
    std::atomic<bool> done{false};
    // The dialog runs its own loop on this thread: a timer answers it from inside that loop.
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<CMessageDlg*>(QApplication::activeModalWidget()); dialog && !seen) {
            seen = true;
            EXPECT_EQ(dialog->thread(), QApplication::instance()->thread());
            Button(*dialog, IDC_MSG_NO)->Click();
        }
    });
    poll.start(5);
    std::thread worker([&] {
        result = AfxSCMessageBox("From a worker", MB_YESNO, "Morvane", nullptr);
        done = true;
    });
    EXPECT_TRUE(WaitUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_TRUE(seen);
    EXPECT_EQ(result, IDNO);
}

TEST_F(MessageDialogTest, ASkinWithoutTheMessageSectionsSaysSoAndAnswersCancel) {
    ScratchFolder folder;
    ASSERT_TRUE(LoadSkinText(folder, "<SKIN_KEL Caption=\"Empty\"/>"));
    const int result =
        WithModal([] { return AfxSCMessageBox("Lost", MB_YESNO, "Morvane", nullptr); }, AnswerCantLoadSkin);
    EXPECT_EQ(result, IDCANCEL);
}

}  // namespace
