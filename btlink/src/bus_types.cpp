#include "btlink/src/bus_types.h"

#include <QDBusMessage>
#include <QDBusMetaType>

#include <atomic>
#include <mutex>

void RegisterBusTypes() {
    static std::once_flag once;
    std::call_once(once, [] {
        qDBusRegisterMetaType<InterfaceMap>();
        qDBusRegisterMetaType<ManagedObjects>();
    });
}

namespace {

QString UniqueConnectionName(const QString& purpose) {
    static std::atomic<unsigned> counter{0};
    return QStringLiteral("btlink-%1-%2").arg(purpose).arg(++counter);
}

QDBusMessage MethodCall(const QString& service, const QString& path, const QString& interface, const QString& method,
                        const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setArguments(arguments);
    return call;
}

}  // namespace

PrivateBus::PrivateBus(QDBusConnection::BusType type, const QString& purpose)
    : m_name(UniqueConnectionName(purpose)), m_connection(QDBusConnection::connectToBus(type, m_name)) {}

PrivateBus::~PrivateBus() {
    m_connection = QDBusConnection(QString());
    QDBusConnection::disconnectFromBus(m_name);
}

QDBusPendingCall CallAsync(QDBusConnection& bus, const QString& service, const QString& path, const QString& interface,
                           const QString& method, const QVariantList& arguments, int timeoutMs) {
    return bus.asyncCall(MethodCall(service, path, interface, method, arguments), timeoutMs);
}

bool CallAndWait(QDBusConnection& bus, const QString& service, const QString& path, const QString& interface,
                 const QString& method, const QVariantList& arguments, int timeoutMs) {
    const QDBusMessage reply =
        bus.call(MethodCall(service, path, interface, method, arguments), QDBus::Block, timeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}
