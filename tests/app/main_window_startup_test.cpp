// The program's start-up: the skin-load failure path, a start that runs the main window,
// and the built program started offscreen and closed by its start-up check hook.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>

#include <cstdlib>

#include "app/main_window.h"
#include "app/skin_list.h"
#include "app/tessaly_app.h"
#include "audiosvc/audiosvc.h"
#include "tests/app/main_window_fixture.h"
#include "tests/app/ui_test_support.h"

namespace {

TEST_F(MainWindowTest, ASkinIndexOutsideTheListShowsCantLoadSkinAndRunsNoWindow) {
    SetCurrentSkinIndex(99);
    QString shownText;
    bool windowShown = false;
    WithModal([&] { return app_.InitInstance() ? 1 : 0; },
              [&](QWidget& modal) {
                  windowShown = qobject_cast<CTessalyDlg*>(&modal) != nullptr;
                  if (auto* box = qobject_cast<QMessageBox*>(&modal)) shownText = box->text();
                  modal.close();
              });
    SetCurrentSkinIndex(0);
    EXPECT_FALSE(windowShown);
    EXPECT_EQ(shownText, QStringLiteral("Can't load skin "));
    EXPECT_FALSE(app_.RestartRequested());
    EXPECT_EQ(app_.ExitInstance(), 1) << "a start that failed ends the process with an error";
    LoadDefaultSkin();
}

TEST_F(MainWindowTest, StartUpRunsTheMainWindowUntilItCloses) {
    ::setenv(CTessalyApp::kCloseAfterStartVariable, "1", 1);
    EXPECT_FALSE(app_.InitInstance());
    ::unsetenv(CTessalyApp::kCloseAfterStartVariable);
    EXPECT_FALSE(app_.RestartRequested());
    EXPECT_EQ(app_.ExitInstance(), 0);
    EXPECT_TRUE(std::filesystem::is_directory(documents_ + "/My Recording"));
    ReplaceSCMessageBox(nullptr);
}

TEST_F(MainWindowTest, TheProgramStartsOffscreenAndQuitsCleanly) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QString::fromUtf8(CTessalyApp::kCloseAfterStartVariable), QStringLiteral("1"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(MORVANE_BIN_DIR "/Morvane"), {});
    ASSERT_TRUE(program.waitForStarted(10000));
    ASSERT_TRUE(program.waitForFinished(60000)) << "the program did not quit";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    EXPECT_TRUE(std::filesystem::is_directory(documents_ + "/My Recording"));
}

}  // namespace
