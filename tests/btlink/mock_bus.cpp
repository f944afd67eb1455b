#include "tests/btlink/mock_bus.h"

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>

#include <sys/prctl.h>

#include <csignal>
#include <cstdlib>
#include <random>

namespace {

constexpr int kStartTimeoutMs = 15000;

class BusEnvironment final : public ::testing::Environment {
public:
    void TearDown() override { MockBuses::Get().Stop(); }
};

[[maybe_unused]] ::testing::Environment* const g_busEnvironment =
    ::testing::AddGlobalTestEnvironment(new BusEnvironment);

// The first python that can import dbusmock (a python of one's own on PATH may lack it).
QString FindPython() {
    for (const QString& candidate : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")}) {
        QProcess probe;
        probe.start(candidate, {QStringLiteral("-c"), QStringLiteral("import dbusmock")});
        if (probe.waitForFinished(20000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0)
            return candidate;
    }
    return {};
}

// A bus or mock that outlives a crashed test would stay behind: the child ends with us.
void EndWithParent(QProcess& process) {
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

QDBusMessage Call(bool systemBus, const QString& service, const QString& path, const QString& interface,
                  const QString& method, const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setArguments(arguments);
    return TestBus(systemBus).call(call, QDBus::Block, 10000);
}

}  // namespace

MockBuses& MockBuses::Get() {
    static MockBuses buses;
    return buses;
}

MockBuses::MockBuses() {
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()) {
        m_skipReason = "dbus-daemon is not installed";
        return;
    }
    m_python = FindPython();
    if (m_python.isEmpty()) {
        m_skipReason = "python3-dbusmock is not installed";
        return;
    }
    QString systemAddress, sessionAddress;
    m_system = StartDaemon(&systemAddress);
    m_session = StartDaemon(&sessionAddress);
    if (!m_system || !m_session) {
        ADD_FAILURE() << "a private dbus-daemon did not start";
        m_skipReason = "a private dbus-daemon did not start";
        return;
    }
    setenv("DBUS_SYSTEM_BUS_ADDRESS", systemAddress.toUtf8().constData(), 1);
    setenv("DBUS_SESSION_BUS_ADDRESS", sessionAddress.toUtf8().constData(), 1);
}

std::unique_ptr<QProcess> MockBuses::StartDaemon(QString* address) {
    auto daemon = std::make_unique<QProcess>();
    EndWithParent(*daemon);
    daemon->start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=" MORVANE_SOURCE_DIR "/tests/btlink/private_bus.conf"),
                   QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (!daemon->waitForStarted(kStartTimeoutMs)) return nullptr;
    QElapsedTimer clock;
    clock.start();
    while (!daemon->canReadLine()) {
        if (clock.elapsed() > kStartTimeoutMs || !daemon->waitForReadyRead(1000)) {
            if (clock.elapsed() > kStartTimeoutMs || daemon->state() != QProcess::Running) return nullptr;
        }
    }
    *address = QString::fromUtf8(daemon->readLine()).trimmed();
    return address->isEmpty() ? nullptr : std::move(daemon);
}

void MockBuses::Stop() {
    for (std::unique_ptr<QProcess>* daemon : {&m_system, &m_session}) {
        if (!*daemon) continue;
        (*daemon)->terminate();
        if (!(*daemon)->waitForFinished(5000)) (*daemon)->kill();
        (*daemon)->waitForFinished(5000);
        daemon->reset();
    }
}

QDBusConnection TestBus(bool systemBus) {
    // One connection per bus for the test's own calls, on the addresses the buses got.
    const char* variable = systemBus ? "DBUS_SYSTEM_BUS_ADDRESS" : "DBUS_SESSION_BUS_ADDRESS";
    const QString name = systemBus ? QStringLiteral("test-system") : QStringLiteral("test-session");
    QDBusConnection connection(name);
    if (connection.isConnected()) return connection;
    QDBusConnection::disconnectFromBus(name);
    return QDBusConnection::connectToBus(QString::fromUtf8(std::getenv(variable)), name);
}

MockService::MockService(bool systemBus, const QString& name, const QStringList& arguments) {
    if (!MockBuses::Get().SkipReason().empty()) return;
    QStringList command{QStringLiteral("-m"), QStringLiteral("dbusmock"),
                        systemBus ? QStringLiteral("--system") : QStringLiteral("--session")};
    command += arguments;
    EndWithParent(m_process);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.start(MockBuses::Get().Python(), command);
    if (!m_process.waitForStarted(kStartTimeoutMs)) return;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kStartTimeoutMs && m_process.state() == QProcess::Running) {
        QDBusConnectionInterface* bus = TestBus(systemBus).interface();
        if (bus != nullptr && bus->isServiceRegistered(name)) {
            m_running = true;
            return;
        }
        QThread::msleep(20);
    }
}

MockService::~MockService() {
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) m_process.kill();
    m_process.waitForFinished(5000);
}

BluezMock::BluezMock()
    : m_service(true, QStringLiteral("org.bluez"), {QStringLiteral("--template"), QStringLiteral("bluez5")}) {}

bool BluezMock::AddAdapter(const QString& device, const QString& alias) {
    return Call(true, QStringLiteral("org.bluez"), QStringLiteral("/"), QStringLiteral("org.bluez.Mock"),
                QStringLiteral("AddAdapter"), {device, alias})
               .type() == QDBusMessage::ReplyMessage;
}

QString BluezMock::AddDevice(const QString& adapterDevice, const QString& address, const QString& name) {
    const QDBusMessage reply =
        Call(true, QStringLiteral("org.bluez"), QStringLiteral("/"), QStringLiteral("org.bluez.Mock"),
             QStringLiteral("AddDevice"), {adapterDevice, address, name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return reply.arguments().at(0).toString();
}

bool BluezMock::NameDevice(const QString& path, const QString& name) {
    const QVariantMap changed{{QStringLiteral("Name"), name}, {QStringLiteral("Alias"), name}};
    return Call(true, QStringLiteral("org.bluez"), path, QStringLiteral("org.freedesktop.DBus.Mock"),
                QStringLiteral("UpdateProperties"), {QStringLiteral("org.bluez.Device1"), changed})
               .type() == QDBusMessage::ReplyMessage;
}

bool BluezMock::PowerAdapter(const QString& device, bool powered) {
    const QVariantMap changed{{QStringLiteral("Powered"), powered}};
    return Call(true, QStringLiteral("org.bluez"), QStringLiteral("/org/bluez/") + device,
                QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("UpdateProperties"),
                {QStringLiteral("org.bluez.Adapter1"), changed})
               .type() == QDBusMessage::ReplyMessage;
}

bool BluezMock::Discovering(const QString& adapterDevice) {
    const QDBusMessage reply = Call(true, QStringLiteral("org.bluez"), QStringLiteral("/org/bluez/") + adapterDevice,
                                    QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                                    {QStringLiteral("org.bluez.Adapter1"), QStringLiteral("Discovering")});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
    return reply.arguments().at(0).value<QDBusVariant>().variant().toBool();
}

ObexMock::ObexMock() {
    std::random_device random;
    m_inbox = std::filesystem::temp_directory_path() / ("morvane-obex-inbox-" + std::to_string(random()));
    std::filesystem::create_directories(m_inbox);
    const QString parameters = QStringLiteral("{\"inbox\": \"%1\"}").arg(QString::fromStdString(m_inbox.string()));
    m_service = std::make_unique<MockService>(
        false, QStringLiteral("org.bluez.obex"),
        QStringList{QStringLiteral("--template"), QStringLiteral(MORVANE_SOURCE_DIR "/tests/btlink/obex_push_mock.py"),
                    QStringLiteral("-p"), parameters});
}

ObexMock::~ObexMock() {
    m_service.reset();
    std::error_code error;
    std::filesystem::remove_all(m_inbox, error);
}

namespace {

QDBusMessage Control(const QString& method, const QVariantList& arguments = {}) {
    return Call(false, QStringLiteral("org.bluez.obex"), QStringLiteral("/org/bluez/obex"),
                QStringLiteral("org.morvane.ObexPushMock"), method, arguments);
}

}  // namespace

bool ObexMock::SetMode(const QString& mode) {
    return Control(QStringLiteral("SetMode"), {mode}).type() == QDBusMessage::ReplyMessage;
}

unsigned ObexMock::OpenSessions() {
    const QDBusMessage reply = Control(QStringLiteral("OpenSessions"));
    return reply.arguments().isEmpty() ? 999 : reply.arguments().at(0).toUInt();
}

unsigned ObexMock::CancelledTransfers() {
    const QDBusMessage reply = Control(QStringLiteral("CancelledTransfers"));
    return reply.arguments().isEmpty() ? 999 : reply.arguments().at(0).toUInt();
}

QStringList ObexMock::Destinations() {
    const QDBusMessage reply = Control(QStringLiteral("Destinations"));
    return reply.arguments().isEmpty() ? QStringList{} : reply.arguments().at(0).toStringList();
}

QStringList ObexMock::Targets() {
    const QDBusMessage reply = Control(QStringLiteral("Targets"));
    return reply.arguments().isEmpty() ? QStringList{} : reply.arguments().at(0).toStringList();
}
