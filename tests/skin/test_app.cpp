#include "tests/skin/test_app.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>

#include <cstdlib>
#include <memory>

namespace {

// Owns the application and ends it when the tests end, before the process's own static
// objects (Qt's font and style caches among them) go away.
class QtEnvironment final : public ::testing::Environment {
public:
    QApplication& App() {
        if (!m_app) {
            // Device listings (the computer information) run without a sound server, unless
            // a test chose a driver.
            setenv("SDL_AUDIODRIVER", "dummy", 0);
            m_app = std::make_unique<QApplication>(m_argc, m_argv);
        }
        return *m_app;
    }
    void SetUp() override { App(); }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[8] = "ui_test";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};

QtEnvironment* const g_environment =
    static_cast<QtEnvironment*>(::testing::AddGlobalTestEnvironment(new QtEnvironment));

}  // namespace

QApplication& TestApp() { return g_environment->App(); }

void UseSkinFont() {
    TestApp();
    QFont font(QStringLiteral("Inter"));
    font.setPixelSize(12);
    QApplication::setFont(font);
}
