// Bluetooth services for tests: two private dbus-daemons standing in for the system and
// the session bus (DBUS_SYSTEM_BUS_ADDRESS, DBUS_SESSION_BUS_ADDRESS), BlueZ from
// python-dbusmock's bluez5 template on the first, and the object-push stand-in
// (obex_push_mock.py) on the second.
#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <memory>
#include <string>

// Starts the two buses (once per process, before any test opens a connection) and stops
// them at the end. Empty SkipReason: buses and mocks can run.
class MockBuses {
public:
    static MockBuses& Get();
    const std::string& SkipReason() const { return m_skipReason; }
    // A python that has dbusmock.
    const QString& Python() const { return m_python; }
    void Stop();

private:
    MockBuses();
    std::unique_ptr<QProcess> StartDaemon(QString* address);

    std::string m_skipReason;
    QString m_python;
    std::unique_ptr<QProcess> m_system;
    std::unique_ptr<QProcess> m_session;
};

// Skips the current test when the buses cannot run.
#define SKIP_WITHOUT_MOCK_BUSES()                                                                  \
    do {                                                                                           \
        if (!MockBuses::Get().SkipReason().empty()) GTEST_SKIP() << MockBuses::Get().SkipReason(); \
    } while (false)

// A python-dbusmock process owning one name; stopped with the object.
class MockService {
public:
    MockService(bool systemBus, const QString& name, const QStringList& arguments);
    ~MockService();
    MockService(const MockService&) = delete;
    MockService& operator=(const MockService&) = delete;
    // The name showed up on the bus.
    bool Running() const { return m_running; }

private:
    QProcess m_process;
    bool m_running = false;
};

// BlueZ with adapters and devices made on request.
class BluezMock {
public:
    BluezMock();
    bool Running() const { return m_service.Running(); }
    // Adds adapter /org/bluez/<device> (e.g. "hci0").
    bool AddAdapter(const QString& device, const QString& alias);
    // Adds a device under the adapter; returns its object path (empty on failure).
    QString AddDevice(const QString& adapterDevice, const QString& address, const QString& name);
    // Gives a device a name later (PropertiesChanged as discovery would send it).
    bool NameDevice(const QString& path, const QString& name);
    // Switches the adapter on or off (its Powered property).
    bool PowerAdapter(const QString& device, bool powered);
    // Whether the adapter is discovering now.
    bool Discovering(const QString& adapterDevice);

private:
    MockService m_service;
};

// The object-push service; files it receives land in Inbox().
class ObexMock {
public:
    ObexMock();
    ~ObexMock();
    bool Running() const { return m_service && m_service->Running(); }
    const std::filesystem::path& Inbox() const { return m_inbox; }
    bool SetMode(const QString& mode);
    unsigned OpenSessions();
    unsigned CancelledTransfers();
    QStringList Destinations();
    QStringList Targets();

private:
    std::filesystem::path m_inbox;
    std::unique_ptr<MockService> m_service;
};

// A connection of the test's own to the private system or session bus.
QDBusConnection TestBus(bool systemBus);
