// One device search: finds the first Bluetooth adapter on org.bluez, reports the devices it
// already knows and those discovery adds, and ends after the search time or on a stop
// request. Without a service or a switched-on adapter it ends at once with the state; a
// check-only session ends once it knows the state. Everything but RequestStop runs on the
// thread that made the session.
#pragma once

#include <QDBusMessage>
#include <QEventLoop>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <chrono>
#include <optional>

#include "btlink/btlink.h"
#include "btlink/src/bus_types.h"
#include "btlink/src/operation_thread.h"

class SearchSession : public QObject, public Stoppable {
    Q_OBJECT
public:
    enum class Mode { Search, CheckOnly };
    SearchSession(IBtSearchCb& callback, std::chrono::milliseconds searchTime, Mode mode = Mode::Search);
    ~SearchSession() override;

    // Searches until the time is up or a stop request comes; calls OnDeviceFound on the way
    // (OnSearchFinished is the caller's, after the session is gone). Returns the stopped flag.
    bool Run();
    void RequestStop() override;
    // What Run found out about the service and its adapters (kBtReady until it knows).
    BtState State() const { return m_state; }

private Q_SLOTS:
    void OnInterfacesAdded(const QDBusMessage& message);
    void OnPropertiesChanged(const QDBusMessage& message);

private:
    void Begin();
    void OnManagedObjects(const ManagedObjects& objects);
    void StartDiscovery();
    void Consider(const QString& path, const QVariantMap& device);
    void Report(const QString& path, const QString& name, const QString& address);
    void Finish();

    void EndWith(BtState state);

    IBtSearchCb& m_callback;
    const Mode m_mode;
    BtState m_state = kBtReady;
    PrivateBus m_bus;
    QEventLoop m_loop;
    QTimer m_searchTimer;
    QString m_adapter;           // object path of the adapter searched with; empty before
    bool m_discovering = false;  // StartDiscovery was asked for
    bool m_finished = false;
    bool m_stopped = false;
    QSet<QString> m_reported;                 // device paths already reported
    QMap<QString, QString> m_waitingForName;  // device path -> address, reported once named
};
