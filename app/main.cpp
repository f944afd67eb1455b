// Morvane: the ringtone maker's program.
#include <QApplication>

#include <cstdio>
#include <optional>

#include "app/src/command_line.h"
#include "app/tessaly_app.h"
#include "morvane_build.h"

namespace {

// The program prints nothing on a terminal unless it fails hard: Qt's debug, information and
// warning messages are dropped; critical and fatal ones still reach standard error.
void KeepHardFailuresOnly(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> answered = AnswerInformationOption(argc, argv)) return *answered;
    qInstallMessageHandler(KeepHardFailuresOnly);
    QApplication application(argc, argv);
    // Desktops match the windows to the desktop entry (and its icon) by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(MORVANE_APP_ID));
    CTessalyApp program;
    program.SetStartFiles(CTessalyApp::StartFilesFrom(QCoreApplication::arguments()));
    program.InitInstance();
    return program.ExitInstance();
}
