// The session bus as the KDE Connect and GSConnect ways use it: a connection of the caller's
// own, and calls that give up after kBusTimeoutMs so that a hung service cannot block.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <optional>
#include <string>

inline constexpr int kBusTimeoutMs = 1000;
inline constexpr char kNoSessionBusHint[] = "The session bus cannot be reached";

// A connection of this operation's own to the session bus (at the address the environment
// names when it is made), closed with the object. Needs the application object
// (QCoreApplication): without one the bus is not even tried and the object is not connected.
class SessionBus {
public:
    SessionBus();
    ~SessionBus();
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    bool IsConnected() const { return m_connection.isConnected(); }

    // Whether a service owns the name now (asked of the bus itself, which starts nothing).
    bool HasOwner(const QString& service);
    // A method call and its reply (an error reply after the time limit).
    QDBusMessage Call(const QString& service, const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments = {});
    // The same without waiting; the pending calls of several objects then run side by side.
    QDBusPendingCall CallAsync(const QString& service, const QString& path, const QString& interface,
                               const QString& method, const QVariantList& arguments = {});
    // The properties of one interface of an object (org.freedesktop.DBus.Properties.GetAll).
    QDBusPendingCall GetAllAsync(const QString& service, const QString& path, const QString& interface);
    // The names of the methods an object offers on interface, read from its introspection;
    // nullopt when the object cannot be introspected (it is not there).
    std::optional<QStringList> MethodsOf(const QString& service, const QString& path, const QString& interface);

private:
    QString m_name;
    QDBusConnection m_connection;
};

// The reply's a{sv} (first argument), empty for an error reply.
QVariantMap PropertiesOfReply(const QDBusMessage& reply);
// "<lead>: <the error reply's message>." (its name when it has no message).
std::string ErrorSentence(const std::string& lead, const QDBusMessage& reply);
