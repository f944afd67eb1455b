// The library's own message dialog, run for real on the offscreen platform through
// ShowMessageBox and AfxSCMessageBox (which load it from its companion library).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "audiosvc/audiosvc.h"

namespace {

using Interaction = std::function<void(QDialog&)>;

class MessageBoxDialog : public testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "audiosvc_message_box_dialog_test";
        static char* argv[] = {name, nullptr};
        application_ = std::make_unique<QApplication>(argc, argv);
    }
    static void TearDownTestSuite() { application_.reset(); }
    void TearDown() override { ReplaceSCMessageBox(nullptr); }

    // Waits for the message dialog to appear during `show`, lets `interact` work on it and
    // returns show's result. A dialog still open after five seconds is closed as a failure.
    static int WithDialog(const std::function<int()>& show, const Interaction& interact) {
        bool seen = false;
        QElapsedTimer clock;
        clock.start();
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog != nullptr && !seen && std::string(dialog->metaObject()->className()) == "CMessageBoxDlg") {
                seen = true;
                interact(*dialog);
            } else if (dialog != nullptr && clock.elapsed() > 5000) {
                ADD_FAILURE() << "the dialog did not close";
                dialog->done(-1);
            }
        });
        poll.start();
        const int result = show();
        EXPECT_TRUE(seen) << "no message dialog was shown";
        return result;
    }

    static int Show(uint32_t type, const char* text, const Interaction& interact, const QIcon* icon = nullptr) {
        return WithDialog([&] { return ShowMessageBox(type, "Morvane", text, icon, nullptr); }, interact);
    }

    static std::vector<QPushButton*> Buttons(QDialog& dialog) {
        std::vector<QPushButton*> shown;
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->isVisible()) shown.push_back(button);
        std::sort(shown.begin(), shown.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
        return shown;
    }

    static QStringList Texts(const std::vector<QPushButton*>& buttons) {
        QStringList texts;
        for (QPushButton* button : buttons) texts << button->text();
        return texts;
    }

    static QImage IconImage(QDialog& dialog) {
        const auto* icon = dialog.findChild<QLabel*>(QStringLiteral("icon"));
        return icon != nullptr ? icon->pixmap().toImage() : QImage();
    }

    static QImage StandardIconImage(QDialog& dialog, QStyle::StandardPixmap which, const QSize& size) {
        return dialog.style()->standardIcon(which).pixmap(size, dialog.devicePixelRatio()).toImage();
    }

    static void SaveScreenshot(QDialog& dialog, const QString& name) {
        const QString folder = QStringLiteral(MORVANE_BIN_DIR "/../screenshots");
        QDir().mkpath(folder);
        EXPECT_TRUE(dialog.grab().save(folder + "/" + name));
    }

    static inline std::unique_ptr<QApplication> application_;
};

TEST_F(MessageBoxDialog, QuestionYesNoShowsTheQuestionIconAndEnterAnswersYes) {
    const char* text = "Do you want to save the ringtone?";
    // The three slotPositions, as Yes/No/Cancel shows them for the same text.
    std::vector<QPoint> slotPositions;
    Show(MB_YESNOCANCEL | MB_ICONQUESTION, text, [&](QDialog& dialog) {
        for (QPushButton* button : Buttons(dialog)) slotPositions.push_back(button->pos());
        dialog.reject();
    });
    ASSERT_EQ(slotPositions.size(), 3u);
    const int result = Show(0x24, text, [&](QDialog& dialog) {
        const auto buttons = Buttons(dialog);
        ASSERT_EQ(Texts(buttons), (QStringList{"Yes", "No"}));
        EXPECT_EQ(buttons[0]->pos(), slotPositions[1]);
        EXPECT_EQ(buttons[1]->pos(), slotPositions[2]);
        const QImage icon = IconImage(dialog);
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon,
                  StandardIconImage(dialog, QStyle::SP_MessageBoxQuestion, icon.size() / icon.devicePixelRatio()));
        EXPECT_NE(icon, StandardIconImage(dialog, QStyle::SP_MessageBoxWarning, icon.size() / icon.devicePixelRatio()));
        EXPECT_EQ(dialog.windowTitle(), "Morvane");
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    EXPECT_EQ(result, IDYES);
}

TEST_F(MessageBoxDialog, PlainMessageShowsTheExclamationIconAndOkAnswersOne) {
    const int result = Show(MB_OK, "The file was saved.", [](QDialog& dialog) {
        const auto buttons = Buttons(dialog);
        ASSERT_EQ(Texts(buttons), (QStringList{"OK"}));
        const QImage icon = IconImage(dialog);
        EXPECT_EQ(icon, StandardIconImage(dialog, QStyle::SP_MessageBoxWarning, icon.size() / icon.devicePixelRatio()));
        QTest::mouseClick(buttons[0], Qt::LeftButton);
    });
    EXPECT_EQ(result, IDOK);
}

TEST_F(MessageBoxDialog, RetryCancelHasNoIconAndEveryKeyAndButtonAnswers) {
    EXPECT_EQ(Show(MB_RETRYCANCEL, "The device is busy.",
                   [](QDialog& dialog) {
                       EXPECT_TRUE(IconImage(dialog).isNull());
                       EXPECT_EQ(Texts(Buttons(dialog)), (QStringList{"Retry", "Cancel"}));
                       QTest::keyClick(&dialog, Qt::Key_Escape);
                   }),
              IDCANCEL);
    EXPECT_EQ(Show(MB_RETRYCANCEL, "The device is busy.",
                   [](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Enter, Qt::KeypadModifier); }),
              IDRETRY);
    EXPECT_EQ(Show(MB_RETRYCANCEL, "The device is busy.",
                   [](QDialog& dialog) { QTest::mouseClick(Buttons(dialog)[1], Qt::LeftButton); }),
              IDCANCEL);
    EXPECT_EQ(Show(MB_ABORTRETRYIGNORE | MB_ICONHAND, "Reading failed.",
                   [](QDialog& dialog) {
                       const auto buttons = Buttons(dialog);
                       ASSERT_EQ(Texts(buttons), (QStringList{"Abort", "Retry", "Ignore"}));
                       QTest::mouseClick(buttons[2], Qt::LeftButton);
                   }),
              IDIGNORE);
    EXPECT_EQ(Show(MB_YESNOCANCEL, "Keep it?",
                   [](QDialog& dialog) { QTest::mouseClick(Buttons(dialog)[1], Qt::LeftButton); }),
              IDNO);
    EXPECT_EQ(Show(MB_CLOSE, "Sent.", [](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Return); }), IDCLOSE);
}

TEST_F(MessageBoxDialog, ClosingTheWindowAnswersCancel) {
    EXPECT_EQ(Show(MB_YESNO, "Close me", [](QDialog& dialog) { dialog.close(); }), IDCANCEL);
}

TEST_F(MessageBoxDialog, WithoutButtonsEnterIsIgnoredAndEscapeCloses) {
    const int result = Show(0x06, "Please wait.", [](QDialog& dialog) {
        EXPECT_TRUE(Buttons(dialog).empty());
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible()) << "Enter must not close a dialog without buttons";
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(MessageBoxDialog, AWideThreeLineMessageGrowsTheDialogAndMovesButtonsAlike) {
    QSize shortSize;
    std::vector<QPoint> shortPositions;
    Show(MB_YESNOCANCEL | MB_ICONQUESTION, "Short", [&](QDialog& dialog) {
        shortSize = dialog.size();
        for (QPushButton* button : Buttons(dialog)) shortPositions.push_back(button->pos());
        dialog.reject();
    });
    const char* text =
        "The ringtone is longer than most phones accept as a ringtone.\n"
        "Do you want to save it anyway?\n"
        "Choose Cancel to go back and move the end marker.";
    Show(MB_YESNOCANCEL | MB_ICONQUESTION, text, [&](QDialog& dialog) {
        SaveScreenshot(dialog, QStringLiteral("messagebox.png"));
        const int dx = dialog.width() - shortSize.width(), dy = dialog.height() - shortSize.height();
        EXPECT_GT(dx, 0);
        EXPECT_GT(dy, 0);
        const auto buttons = Buttons(dialog);
        ASSERT_EQ(buttons.size(), shortPositions.size());
        for (size_t i = 0; i < buttons.size(); ++i) EXPECT_EQ(buttons[i]->pos(), shortPositions[i] + QPoint(dx, dy));
        // The whole text fits in its control without clipping.
        const auto* label = dialog.findChild<QLabel*>(QStringLiteral("text"));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QString::fromUtf8(text));
        EXPECT_LE(label->sizeHint().width(), label->width());
        EXPECT_LE(label->sizeHint().height(), label->height());
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
}

TEST_F(MessageBoxDialog, AGivenIconReplacesTheOneChosenByType) {
    QPixmap red(16, 16);
    red.fill(Qt::red);
    const QIcon icon(red);
    Show(
        MB_RETRYCANCEL, "Custom icon",
        [&](QDialog& dialog) {
            const QImage shown = IconImage(dialog);
            ASSERT_FALSE(shown.isNull());
            EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32).pixel(0, 0), QColor(Qt::red).rgb());
            dialog.reject();
        },
        &icon);
}

TEST_F(MessageBoxDialog, AfxUsesTheApplicationNameForAMissingCaption) {
    const int result = WithDialog([] { return AfxSCMessageBox("No caption", MB_OKCANCEL, nullptr, nullptr); },
                                  [](QDialog& dialog) {
                                      EXPECT_EQ(dialog.windowTitle(), "audiosvc_message_box_dialog_test");
                                      QTest::keyClick(&dialog, Qt::Key_Return);
                                  });
    EXPECT_EQ(result, IDOK);
}

TEST_F(MessageBoxDialog, AReplacementIsCalledInsteadOfTheDialog) {
    static int calls = 0;
    ReplaceSCMessageBox([](const char*, uint32_t, const char*, QWidget*) -> int {
        ++calls;
        return IDRETRY;
    });
    // A modal dialog would spin an event loop and let this timer see it.
    bool dialogSeen = false;
    QTimer::singleShot(0, [&] {
        dialogSeen = QApplication::activeModalWidget() != nullptr;
        if (dialogSeen) QApplication::activeModalWidget()->close();
    });
    EXPECT_EQ(AfxSCMessageBox("Replaced", MB_OK, "Morvane", nullptr), IDRETRY);
    EXPECT_EQ(calls, 1);
    QCoreApplication::processEvents();
    EXPECT_FALSE(dialogSeen);
}

TEST_F(MessageBoxDialog, AMessageFromAnotherThreadIsShownOnTheApplicationsThread) {
    std::atomic<int> result{0};
    std::atomic<bool> done{false};
    QEventLoop loop;
    std::thread worker([&] {
        result = ShowMessageBox(MB_YESNO, "Worker", "From a worker thread", nullptr, nullptr);
        done = true;
    });
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()); dialog != nullptr && !seen) {
            seen = true;
            EXPECT_EQ(dialog->thread(), QApplication::instance()->thread());
            QTest::mouseClick(Buttons(*dialog)[1], Qt::LeftButton);
        }
        if (done) loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    worker.join();
    EXPECT_TRUE(seen);
    EXPECT_EQ(result, IDNO);
}

}  // namespace
