// What the search and the upload share about D-Bus: the object-manager types, a private
// connection per operation, and asynchronous calls with a time limit.
#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QMap>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

// a{sa{sv}}: the interfaces of one object with their properties.
using InterfaceMap = QMap<QString, QVariantMap>;
// a{oa{sa{sv}}}: org.freedesktop.DBus.ObjectManager.GetManagedObjects.
using ManagedObjects = QMap<QDBusObjectPath, InterfaceMap>;

inline constexpr char kPropertiesInterface[] = "org.freedesktop.DBus.Properties";
inline constexpr char kObjectManagerInterface[] = "org.freedesktop.DBus.ObjectManager";

// Registers the types above with Qt D-Bus (once per process; any thread).
void RegisterBusTypes();

// A connection of this operation's own to the system or session bus, opened at
// construction (the bus address is read then) and closed with the object, which drops
// every match and pending reply of the operation with it.
class PrivateBus {
public:
    PrivateBus(QDBusConnection::BusType type, const QString& purpose);
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    QDBusConnection& Connection() { return m_connection; }
    bool IsConnected() const { return m_connection.isConnected(); }

private:
    QString m_name;
    QDBusConnection m_connection;
};

// Starts a method call and returns its pending reply (an error reply after timeoutMs).
QDBusPendingCall CallAsync(QDBusConnection& bus, const QString& service, const QString& path, const QString& interface,
                           const QString& method, const QVariantList& arguments, int timeoutMs);
// The same, waiting for the reply; true when the call succeeded.
bool CallAndWait(QDBusConnection& bus, const QString& service, const QString& path, const QString& interface,
                 const QString& method, const QVariantList& arguments, int timeoutMs);
