// Morvane: the ringtone maker's program.
#include <QApplication>

#include <cstdio>

#include "app/tessaly_app.h"

namespace {

// The program prints nothing on a terminal unless it fails hard: Qt's debug, information and
// warning messages are dropped; critical and fatal ones still reach standard error.
void KeepHardFailuresOnly(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(KeepHardFailuresOnly);
    QApplication application(argc, argv);
    CTessalyApp program;
    program.SetStartFiles(CTessalyApp::StartFilesFrom(QCoreApplication::arguments()));
    program.InitInstance();
    return program.ExitInstance();
}
