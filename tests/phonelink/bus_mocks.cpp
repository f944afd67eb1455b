#include "tests/phonelink/bus_mocks.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QThread>

#include <glob.h>
#include <sys/prctl.h>

#include <csignal>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr int kDaemonStartMs = 15000;

QDBusMessage Control(const QString& service, const QString& path, const QString& interface, const QString& method,
                     const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setArguments(arguments);
    return TestBus(false).call(call, QDBus::Block, 10000);
}

bool Succeeded(const QDBusMessage& reply) { return reply.type() == QDBusMessage::ReplyMessage; }

QStringList StringsOf(const QDBusMessage& reply) {
    return reply.arguments().isEmpty() ? QStringList{} : reply.arguments().at(0).toStringList();
}

const QString kKdeService = QStringLiteral("org.kde.kdeconnect");
const QString kKdePath = QStringLiteral("/modules/kdeconnect");
const QString kKdeControl = QStringLiteral("org.morvane.KdeConnectMock");
const QString kGsService = QStringLiteral("org.gnome.Shell.Extensions.GSConnect");
const QString kGsPath = QStringLiteral("/org/gnome/Shell/Extensions/GSConnect");
const QString kGsControl = QStringLiteral("org.morvane.GSConnectMock");

QStringList TemplateArguments(const char* file) {
    return {QStringLiteral("--template"), QString::fromUtf8(MORVANE_SOURCE_DIR "/tests/phonelink/") + file};
}

}  // namespace

KdeConnectMock::KdeConnectMock() : m_service(false, kKdeService, TemplateArguments("kdeconnect_mock.py")) {}

bool KdeConnectMock::AddDevice(const QString& id, const QString& name, bool reachable, bool paired,
                               const QString& pairedProperty, const QString& shareMethod) {
    return Succeeded(Control(kKdeService, kKdePath, kKdeControl, QStringLiteral("AddDevice"),
                             {id, name, reachable, paired, pairedProperty, shareMethod}));
}

bool KdeConnectMock::SetShareError(const QString& message) {
    return Succeeded(Control(kKdeService, kKdePath, kKdeControl, QStringLiteral("SetShareError"), {message}));
}

bool KdeConnectMock::SetListDelay(unsigned milliseconds) {
    return Succeeded(Control(kKdeService, kKdePath, kKdeControl, QStringLiteral("SetListDelay"), {milliseconds}));
}

QStringList KdeConnectMock::Shared() {
    return StringsOf(Control(kKdeService, kKdePath, kKdeControl, QStringLiteral("Shared")));
}

GsConnectMock::GsConnectMock() : m_service(false, kGsService, TemplateArguments("gsconnect_mock.py")) {}

bool GsConnectMock::AddDevice(const QString& id, const QString& name, bool connected, bool paired, bool shareEnabled) {
    return Succeeded(Control(kGsService, kGsPath, kGsControl, QStringLiteral("AddDevice"),
                             {id, name, connected, paired, shareEnabled}));
}

bool GsConnectMock::SetShareError(const QString& message) {
    return Succeeded(Control(kGsService, kGsPath, kGsControl, QStringLiteral("SetShareError"), {message}));
}

QStringList GsConnectMock::Shared() {
    return StringsOf(Control(kGsService, kGsPath, kGsControl, QStringLiteral("Shared")));
}

std::string KdeConnectDaemon::Executable() {
    for (const char* pattern : {"/usr/lib/*/libexec/kdeconnectd", "/usr/libexec/kdeconnectd", "/usr/lib/kdeconnectd"}) {
        glob_t found{};
        const bool any = ::glob(pattern, 0, nullptr, &found) == 0 && found.gl_pathc > 0;
        std::string path = any ? found.gl_pathv[0] : "";
        ::globfree(&found);
        if (any) return path;
    }
    return {};
}

KdeConnectDaemon::KdeConnectDaemon(const std::string& trustedId, const std::string& trustedName) {
    if (!MockBuses::Get().SkipReason().empty() || Executable().empty()) return;
    const fs::path home = m_home.Path();
    const fs::path config = home / "config";
    const fs::path runtime = home / "runtime";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    WriteWholeFile(config / "kdeconnect" / "trusted_devices",
                   "[" + trustedId + "]\nname=" + trustedName + "\ntype=smartphone\n");

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), QString::fromStdString(home.string()));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(config.string()));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), QString::fromStdString((home / "data").string()));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), QString::fromStdString((home / "cache").string()));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(runtime.string()));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    m_process.setProcessEnvironment(environment);
    m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QString::fromStdString((home / "kdeconnectd.log").string()));
    m_process.start(QString::fromStdString(Executable()), {});
    if (!m_process.waitForStarted(kDaemonStartMs)) return;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kDaemonStartMs && m_process.state() == QProcess::Running) {
        QDBusConnectionInterface* bus = TestBus(false).interface();
        if (bus != nullptr && bus->isServiceRegistered(kKdeService)) {
            m_registered = true;
            return;
        }
        QThread::msleep(20);
    }
}

KdeConnectDaemon::~KdeConnectDaemon() {
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) m_process.kill();
    m_process.waitForFinished(5000);
}

bool KdeConnectDaemon::Running() const {
    if (!m_registered || m_process.state() != QProcess::Running) return false;
    QDBusConnectionInterface* bus = TestBus(false).interface();
    return bus != nullptr && bus->isServiceRegistered(kKdeService);
}
