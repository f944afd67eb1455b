#include "btlink/src/upload_session.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

#include <vector>

namespace {

constexpr char kObex[] = "org.bluez.obex";
constexpr char kObexRoot[] = "/org/bluez/obex";
constexpr char kClientInterface[] = "org.bluez.obex.Client1";
constexpr char kObjectPushInterface[] = "org.bluez.obex.ObjectPush1";
constexpr char kTransferInterface[] = "org.bluez.obex.Transfer1";
// Connecting to a phone can take a while (paging, service discovery); it is still bounded.
constexpr int kCreateSessionTimeoutMs = 60000;
constexpr int kSendFileTimeoutMs = 30000;
constexpr int kCleanUpTimeoutMs = 2000;
constexpr uint32_t kReadChunk = 64 * 1024;

QVariantMap ToMap(const QVariant& value) {
    if (value.canConvert<QDBusArgument>()) return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

}  // namespace

UploadSession::UploadSession(IBtUploadCb& callback, BtAddress address, std::string fileName,
                             std::chrono::milliseconds stallTimeout)
    : m_callback(callback), m_address(address), m_fileName(std::move(fileName)) {
    RegisterBusTypes();
    m_stallTimer.setSingleShot(true);
    m_stallTimer.setInterval(stallTimeout);
    connect(&m_stallTimer, &QTimer::timeout, this, [this] { End(Outcome::Failed); });
}

UploadSession::~UploadSession() = default;

UploadSession::Outcome UploadSession::Run() {
    if (const Outcome staged = Stage(); staged != Outcome::Completed) {
        m_staged.reset();
        return staged;
    }
    m_bus.emplace(QDBusConnection::SessionBus, QStringLiteral("upload"));
    if (m_bus->IsConnected()) {
        m_bus->Connection().connect(kObex, QString(), kPropertiesInterface, QStringLiteral("PropertiesChanged"), this,
                                    SLOT(OnPropertiesChanged(QDBusMessage)));
        // An OBEX service that goes away mid-transfer ends it.
        auto* watcher =
            new QDBusServiceWatcher(kObex, m_bus->Connection(), QDBusServiceWatcher::WatchForUnregistration, this);
        connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] { End(Outcome::Failed); });
        QMetaObject::invokeMethod(this, &UploadSession::CreateSession, Qt::QueuedConnection);
        m_loop.exec();
    } else {
        m_outcome = Outcome::Failed;
    }
    RemoveSession();
    m_bus.reset();
    m_staged.reset();
    return m_outcome.value_or(Outcome::Failed);
}

void UploadSession::RequestStop() {
    m_cancelRequested.store(true);
    QMetaObject::invokeMethod(
        this, [this] { End(Outcome::Cancelled); }, Qt::QueuedConnection);
}

UploadSession::Outcome UploadSession::Stage() {
    if (!IsPlainFileName(m_fileName)) return Outcome::Failed;
    m_staged.emplace(m_fileName);
    if (!m_staged->Ok()) return Outcome::Failed;
    std::vector<char> buffer(kReadChunk);
    for (;;) {
        if (m_cancelRequested.load()) return Outcome::Cancelled;
        uint32_t bytesRead = 0;
        if (!m_callback.ReadData(buffer.data(), kReadChunk, &bytesRead) || bytesRead > kReadChunk)
            return Outcome::Failed;
        if (bytesRead == 0) break;
        if (!m_staged->Write(buffer.data(), bytesRead)) return Outcome::Failed;
    }
    if (!m_staged->Close()) return Outcome::Failed;
    return m_cancelRequested.load() ? Outcome::Cancelled : Outcome::Completed;
}

void UploadSession::CreateSession() {
    if (m_outcome) return;
    const QVariantMap options{{QStringLiteral("Target"), QStringLiteral("opp")}};
    auto* watcher = new QDBusPendingCallWatcher(
        CallAsync(m_bus->Connection(), kObex, kObexRoot, kClientInterface, QStringLiteral("CreateSession"),
                  {QString::fromStdString(FormatBtAddress(m_address)), options}, kCreateSessionTimeoutMs),
        this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *call;
        if (reply.isError()) return End(Outcome::Failed);
        m_session = reply.value().path();
        SendFile();
    });
}

void UploadSession::SendFile() {
    if (m_outcome) return;
    auto* watcher = new QDBusPendingCallWatcher(
        CallAsync(m_bus->Connection(), kObex, m_session, kObjectPushInterface, QStringLiteral("SendFile"),
                  {QString::fromStdString(m_staged->Path())}, kSendFileTimeoutMs),
        this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusPendingReply<QDBusObjectPath, QVariantMap> reply = *call;
        if (reply.isError()) return End(Outcome::Failed);
        if (m_outcome) return;
        m_transfer = reply.argumentAt<0>().path();
        m_stallTimer.start();
        // A status that came before this answer, else the one the answer carries.
        const QString status =
            m_earlyStatus.value(m_transfer, reply.argumentAt<1>().value(QStringLiteral("Status")).toString());
        m_earlyStatus.clear();
        OnTransferStatus(status);
    });
}

void UploadSession::OnPropertiesChanged(const QDBusMessage& message) {
    if (m_outcome || message.arguments().size() < 2 || message.arguments().at(0).toString() != kTransferInterface)
        return;
    const QVariantMap changed = ToMap(message.arguments().at(1));
    const QString status = changed.value(QStringLiteral("Status")).toString();
    if (m_transfer.isEmpty()) {
        if (!status.isEmpty()) m_earlyStatus.insert(message.path(), status);
        return;
    }
    if (message.path() != m_transfer) return;
    m_stallTimer.start();  // any news is progress
    OnTransferStatus(status);
}

void UploadSession::OnTransferStatus(const QString& status) {
    if (status == QLatin1String("complete"))
        End(Outcome::Completed);
    else if (status == QLatin1String("error"))
        End(Outcome::Failed);
}

void UploadSession::End(Outcome outcome) {
    if (m_outcome) return;
    m_outcome = outcome;
    m_stallTimer.stop();
    if (outcome != Outcome::Completed && !m_transfer.isEmpty())
        CallAndWait(m_bus->Connection(), kObex, m_transfer, kTransferInterface, QStringLiteral("Cancel"), {},
                    kCleanUpTimeoutMs);
    m_loop.quit();
}

void UploadSession::RemoveSession() {
    if (m_session.isEmpty() || !m_bus) return;
    CallAndWait(m_bus->Connection(), kObex, kObexRoot, kClientInterface, QStringLiteral("RemoveSession"),
                {QVariant::fromValue(QDBusObjectPath(m_session))}, kCleanUpTimeoutMs);
    m_session.clear();
}
