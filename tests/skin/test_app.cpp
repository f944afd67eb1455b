#include "tests/skin/test_app.h"

#include <QApplication>

QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "skin_test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}
