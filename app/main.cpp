// Morvane: the ringtone maker's program.
#include <QApplication>

#include "app/app.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    CTessalyApp program;
    program.InitInstance();
    return program.ExitInstance();
}
