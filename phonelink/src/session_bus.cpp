#include "phonelink/src/session_bus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusPendingReply>
#include <QXmlStreamReader>

#include <atomic>

namespace {

QString UniqueConnectionName() {
    static std::atomic<unsigned> counter{0};
    return QStringLiteral("phonelink-%1").arg(++counter);
}

QDBusMessage MethodCall(const QString& service, const QString& path, const QString& interface, const QString& method,
                        const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setArguments(arguments);
    return call;
}

QDBusConnection Connect(const QString& name) {
    if (QCoreApplication::instance() == nullptr) return QDBusConnection(QString());
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
}

// The method names of one interface in an introspection document.
QStringList MethodsInIntrospection(const QString& xml, const QString& interface) {
    QStringList methods;
    QXmlStreamReader reader(xml);
    bool inInterface = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == QLatin1String("interface"))
            inInterface = reader.attributes().value(QLatin1String("name")) == interface;
        else if (reader.isEndElement() && reader.name() == QLatin1String("interface"))
            inInterface = false;
        else if (inInterface && reader.isStartElement() && reader.name() == QLatin1String("method"))
            methods << reader.attributes().value(QLatin1String("name")).toString();
    }
    return methods;
}

}  // namespace

SessionBus::SessionBus() : m_name(UniqueConnectionName()), m_connection(Connect(m_name)) {}

SessionBus::~SessionBus() {
    m_connection = QDBusConnection(QString());
    if (QCoreApplication::instance() != nullptr) QDBusConnection::disconnectFromBus(m_name);
}

bool SessionBus::HasOwner(const QString& service) {
    const QDBusMessage reply = Call(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                    QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"), {service});
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().at(0).toBool();
}

QDBusMessage SessionBus::Call(const QString& service, const QString& path, const QString& interface,
                              const QString& method, const QVariantList& arguments) {
    return m_connection.call(MethodCall(service, path, interface, method, arguments), QDBus::Block, kBusTimeoutMs);
}

QDBusPendingCall SessionBus::CallAsync(const QString& service, const QString& path, const QString& interface,
                                       const QString& method, const QVariantList& arguments) {
    return m_connection.asyncCall(MethodCall(service, path, interface, method, arguments), kBusTimeoutMs);
}

QDBusPendingCall SessionBus::GetAllAsync(const QString& service, const QString& path, const QString& interface) {
    return CallAsync(service, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"),
                     {interface});
}

std::optional<QStringList> SessionBus::MethodsOf(const QString& service, const QString& path,
                                                 const QString& interface) {
    const QDBusMessage reply =
        Call(service, path, QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
    return MethodsInIntrospection(reply.arguments().at(0).toString(), interface);
}

QVariantMap PropertiesOfReply(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return qdbus_cast<QVariantMap>(reply.arguments().at(0));
}

std::string ErrorSentence(const std::string& lead, const QDBusMessage& reply) {
    std::string text =
        (reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage()).trimmed().toStdString();
    if (text.empty() || (text.back() != '.' && text.back() != '!' && text.back() != '?')) text += '.';
    return lead + ": " + text;
}
