// The KDE Connect and GSConnect stand-ins (python-dbusmock templates on the private session
// bus of btlink's mock buses) and the real KDE Connect daemon on that bus.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <string>

#include "tests/btlink/mock_bus.h"
#include "tests/phonelink/phonelink_test_support.h"

// The KDE Connect stand-in (kdeconnect_mock.py).
class KdeConnectMock {
public:
    KdeConnectMock();
    bool Running() const { return m_service.Running(); }
    bool AddDevice(const QString& id, const QString& name, bool reachable, bool paired,
                   const QString& pairedProperty = QStringLiteral("isTrusted"),
                   const QString& shareMethod = QStringLiteral("shareUrl"));
    bool SetShareError(const QString& message);
    bool SetListDelay(unsigned milliseconds);
    QStringList Shared();

private:
    MockService m_service;
};

// The GSConnect stand-in (gsconnect_mock.py).
class GsConnectMock {
public:
    GsConnectMock();
    bool Running() const { return m_service.Running(); }
    bool AddDevice(const QString& id, const QString& name, bool connected, bool paired, bool shareEnabled = true);
    bool SetShareError(const QString& message);
    QStringList Shared();

private:
    MockService m_service;
};

// The KDE Connect daemon of the installed kdeconnect package on the private session bus,
// with a scratch home and configuration (trusted devices written into it before the start).
class KdeConnectDaemon {
public:
    // The daemon's executable; empty when kdeconnect is not installed.
    static std::string Executable();
    // Starts it with one trusted device in its configuration (never reachable here).
    KdeConnectDaemon(const std::string& trustedId, const std::string& trustedName);
    ~KdeConnectDaemon();
    KdeConnectDaemon(const KdeConnectDaemon&) = delete;
    KdeConnectDaemon& operator=(const KdeConnectDaemon&) = delete;
    // org.kde.kdeconnect showed up on the bus and the daemon still runs.
    bool Running() const;

private:
    ScratchFolder m_home;
    QProcess m_process;
    bool m_registered = false;
};
