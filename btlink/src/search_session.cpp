#include "btlink/src/search_session.h"

#include <QDBusArgument>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include "btlink/src/bt_address.h"

namespace {

constexpr char kBluez[] = "org.bluez";
constexpr char kAdapterInterface[] = "org.bluez.Adapter1";
constexpr char kDeviceInterface[] = "org.bluez.Device1";
// BlueZ answers at once; a daemon that does not is treated as absent.
constexpr int kCallTimeoutMs = 5000;
constexpr int kStopCallTimeoutMs = 2000;

// A dictionary argument of a signal (Qt D-Bus hands nested types over undecoded).
QVariantMap ToMap(const QVariant& value) {
    if (value.canConvert<QDBusArgument>()) return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

QString PathOf(const QVariant& value) {
    if (value.canConvert<QDBusObjectPath>()) return value.value<QDBusObjectPath>().path();
    return value.toString();
}

// The name a person knows the device by: its own name, else an alias the user gave it (BlueZ
// makes up an alias from the address when there is no name: that one is no name).
QString DeviceName(const QVariantMap& device, const QString& address) {
    const QString name = device.value(QStringLiteral("Name")).toString();
    if (!name.isEmpty()) return name;
    const QString alias = device.value(QStringLiteral("Alias")).toString();
    QString addressAlias = address;
    addressAlias.replace(QLatin1Char(':'), QLatin1Char('-'));
    if (alias.compare(addressAlias, Qt::CaseInsensitive) == 0 || alias.compare(address, Qt::CaseInsensitive) == 0)
        return {};
    return alias;
}

}  // namespace

SearchSession::SearchSession(IBtSearchCb& callback, std::chrono::milliseconds searchTime, Mode mode)
    : m_callback(callback), m_mode(mode), m_bus(QDBusConnection::SystemBus, QStringLiteral("search")) {
    RegisterBusTypes();
    m_searchTimer.setSingleShot(true);
    m_searchTimer.setInterval(searchTime);
    connect(&m_searchTimer, &QTimer::timeout, this, &SearchSession::Finish);
}

SearchSession::~SearchSession() = default;

bool SearchSession::Run() {
    QMetaObject::invokeMethod(this, &SearchSession::Begin, Qt::QueuedConnection);
    m_loop.exec();
    return m_stopped;
}

void SearchSession::RequestStop() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_stopped = true;
            Finish();
        },
        Qt::QueuedConnection);
}

void SearchSession::Begin() {
    if (m_finished) return;
    if (!m_bus.IsConnected()) return EndWith(kBtNoService);
    // Listen before asking, so that nothing added in between is missed (duplicates are
    // dropped by path).
    m_bus.Connection().connect(kBluez, QString(), kObjectManagerInterface, QStringLiteral("InterfacesAdded"), this,
                               SLOT(OnInterfacesAdded(QDBusMessage)));
    m_bus.Connection().connect(kBluez, QString(), kPropertiesInterface, QStringLiteral("PropertiesChanged"), this,
                               SLOT(OnPropertiesChanged(QDBusMessage)));
    auto* watcher =
        new QDBusPendingCallWatcher(CallAsync(m_bus.Connection(), kBluez, QStringLiteral("/"), kObjectManagerInterface,
                                              QStringLiteral("GetManagedObjects"), {}, kCallTimeoutMs),
                                    this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusPendingReply<ManagedObjects> reply = *call;
        if (reply.isError()) return EndWith(kBtNoService);
        OnManagedObjects(reply.value());
    });
}

void SearchSession::OnManagedObjects(const ManagedObjects& objects) {
    if (m_finished) return;
    // The first powered adapter, else the first one.
    bool adapterPowered = false;
    for (auto it = objects.cbegin(); it != objects.cend(); ++it) {
        const auto adapter = it.value().find(kAdapterInterface);
        if (adapter == it.value().cend()) continue;
        adapterPowered = adapter->value(QStringLiteral("Powered")).toBool();
        if (m_adapter.isEmpty() || adapterPowered) m_adapter = it.key().path();
        if (adapterPowered) break;
    }
    if (m_adapter.isEmpty()) return EndWith(kBtNoAdapter);
    if (!adapterPowered) return EndWith(kBtAdapterOff);
    if (m_mode == Mode::CheckOnly) return Finish();
    for (auto it = objects.cbegin(); it != objects.cend(); ++it)
        if (const auto device = it.value().find(kDeviceInterface); device != it.value().cend())
            Consider(it.key().path(), *device);
    if (m_finished) return;  // a callback stopped the search

    m_searchTimer.start();
    m_discovering = true;
    // Object push works over classic Bluetooth only: low-energy-only devices are left out.
    const QVariantMap filter{{QStringLiteral("Transport"), QStringLiteral("bredr")}};
    auto* watcher =
        new QDBusPendingCallWatcher(CallAsync(m_bus.Connection(), kBluez, m_adapter, kAdapterInterface,
                                              QStringLiteral("SetDiscoveryFilter"), {filter}, kCallTimeoutMs),
                                    this);
    // Without filter support the search goes on unfiltered.
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        StartDiscovery();
    });
}

void SearchSession::StartDiscovery() {
    if (m_finished) return;
    auto* watcher = new QDBusPendingCallWatcher(CallAsync(m_bus.Connection(), kBluez, m_adapter, kAdapterInterface,
                                                          QStringLiteral("StartDiscovery"), {}, kCallTimeoutMs),
                                                this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        if (call->isError()) {
            // An adapter that cannot discover (switched off meanwhile): the known devices
            // are all there is.
            m_discovering = false;
            Finish();
        }
    });
}

void SearchSession::OnInterfacesAdded(const QDBusMessage& message) {
    if (m_finished || m_adapter.isEmpty() || message.arguments().size() < 2) return;
    const QString path = PathOf(message.arguments().at(0));
    const QVariant interfaces = message.arguments().at(1);
    if (!interfaces.canConvert<QDBusArgument>()) return;
    const InterfaceMap map = qdbus_cast<InterfaceMap>(interfaces.value<QDBusArgument>());
    if (const auto device = map.find(kDeviceInterface); device != map.cend()) Consider(path, *device);
}

void SearchSession::OnPropertiesChanged(const QDBusMessage& message) {
    if (m_finished || message.arguments().size() < 2) return;
    const auto waiting = m_waitingForName.find(message.path());
    if (waiting == m_waitingForName.end() || message.arguments().at(0).toString() != kDeviceInterface) return;
    const QString name = DeviceName(ToMap(message.arguments().at(1)), waiting.value());
    if (name.isEmpty()) return;
    const QString address = waiting.value();
    m_waitingForName.erase(waiting);
    Report(message.path(), name, address);
}

void SearchSession::Consider(const QString& path, const QVariantMap& device) {
    if (m_finished || m_reported.contains(path) || m_waitingForName.contains(path)) return;
    if (PathOf(device.value(QStringLiteral("Adapter"))) != m_adapter) return;
    const QString address = device.value(QStringLiteral("Address")).toString();
    if (!ParseBtAddress(address.toStdString())) return;
    const QString name = DeviceName(device, address);
    // A device found by discovery often tells its name a moment later: it is reported when
    // the name comes, or nameless when the search ends.
    if (name.isEmpty())
        m_waitingForName.insert(path, address);
    else
        Report(path, name, address);
}

void SearchSession::Report(const QString& path, const QString& name, const QString& address) {
    const std::optional<BtAddress> parsed = ParseBtAddress(address.toStdString());
    if (!parsed) return;
    m_reported.insert(path);
    m_callback.OnDeviceFound(name.toUtf8().constData(), parsed->low, parsed->high);
}

void SearchSession::EndWith(BtState state) {
    if (m_finished) return;
    m_state = state;
    Finish();
}

void SearchSession::Finish() {
    if (m_finished) return;
    m_searchTimer.stop();
    if (m_discovering)
        CallAndWait(m_bus.Connection(), kBluez, m_adapter, kAdapterInterface, QStringLiteral("StopDiscovery"), {},
                    kStopCallTimeoutMs);
    m_discovering = false;
    const QMap<QString, QString> nameless = std::exchange(m_waitingForName, {});
    for (auto it = nameless.cbegin(); it != nameless.cend(); ++it) Report(it.key(), QString(), it.value());
    m_finished = true;
    m_loop.quit();
}
