#include "phonelink/src/kde_connect.h"

#include <QDBusPendingCall>

#include <vector>

#include "phonelink/src/phone_ids.h"

namespace {

const QString kService = QStringLiteral("org.kde.kdeconnect");
const QString kDaemonPath = QStringLiteral("/modules/kdeconnect");
const QString kDaemonInterface = QStringLiteral("org.kde.kdeconnect.daemon");
const QString kDeviceInterface = QStringLiteral("org.kde.kdeconnect.device");
const QString kShareInterface = QStringLiteral("org.kde.kdeconnect.device.share");

QString DevicePath(const QString& id) { return kDaemonPath + QStringLiteral("/devices/") + id; }

// Paired under either name the daemon's versions gave the property; a device that has
// neither was already chosen as paired by the daemon's list.
bool IsPaired(const QVariantMap& properties) {
    for (const char* name : {"isTrusted", "isPaired"}) {
        if (properties.contains(QLatin1String(name))) return properties.value(QLatin1String(name)).toBool();
    }
    return true;
}

WayScan Unavailable(const char* hint) {
    WayScan scan;
    scan.state = {PhoneWay::KdeConnect, false, hint};
    return scan;
}

}  // namespace

WayScan ScanKdeConnect(SessionBus& bus) {
    if (!bus.IsConnected()) return Unavailable(kNoSessionBusHint);
    if (!bus.HasOwner(kService)) return Unavailable(kKdeConnectNotRunningHint);
    const QDBusMessage listed =
        bus.Call(kService, kDaemonPath, kDaemonInterface, QStringLiteral("devices"), {true, true});
    if (listed.type() != QDBusMessage::ReplyMessage || listed.arguments().isEmpty())
        return Unavailable(kKdeConnectNoAnswerHint);
    const QStringList ids = listed.arguments().at(0).toStringList();

    // All devices asked at once, so that a slow daemon costs one time limit, not one each.
    std::vector<QDBusPendingCall> asked;
    for (const QString& id : ids) asked.push_back(bus.GetAllAsync(kService, DevicePath(id), kDeviceInterface));
    WayScan scan;
    for (size_t i = 0; i < asked.size(); ++i) {
        asked[i].waitForFinished();
        const QVariantMap properties = PropertiesOfReply(asked[i].reply());
        if (properties.isEmpty() || !properties.value(QStringLiteral("isReachable")).toBool() || !IsPaired(properties))
            continue;
        const QString& id = ids.at(static_cast<qsizetype>(i));
        const QString name = properties.value(QStringLiteral("name")).toString();
        Phone phone;
        phone.way = PhoneWay::KdeConnect;
        phone.id = MakePhoneId(PhoneWay::KdeConnect, id.toStdString());
        phone.name = (name.isEmpty() ? id : name).toStdString();
        phone.objectPath = DevicePath(id).toStdString();
        scan.phones.push_back(std::move(phone));
    }
    scan.state = {PhoneWay::KdeConnect, !scan.phones.empty(), scan.phones.empty() ? kKdeConnectNoPhoneHint : ""};
    return scan;
}

SendResult SendOverKdeConnect(SessionBus& bus, const Phone& phone, const QString& url, std::string& error) {
    if (!bus.IsConnected()) {
        error = std::string(kNoSessionBusHint) + ".";
        return SendResult::Failed;
    }
    if (!bus.HasOwner(kService)) {
        error = std::string(kKdeConnectNotRunningHint) + ".";
        return SendResult::Failed;
    }
    const QString devicePath = phone.objectPath.empty()
                                   ? DevicePath(QString::fromStdString(KeyOfPhoneId(PhoneWay::KdeConnect, phone.id)))
                                   : QString::fromStdString(phone.objectPath);
    const QString sharePath = devicePath + QStringLiteral("/share");
    // The share plug-in's object exists while the device is reachable and the plug-in is on.
    const std::optional<QStringList> methods = bus.MethodsOf(kService, sharePath, kShareInterface);
    if (!methods ||
        (!methods->contains(QStringLiteral("shareUrl")) && !methods->contains(QStringLiteral("shareUrls")))) {
        error = phone.name + " does not take files over KDE Connect now (is it reachable, with its Share plug-in on?).";
        return SendResult::Failed;
    }
    const QDBusMessage reply =
        methods->contains(QStringLiteral("shareUrl"))
            ? bus.Call(kService, sharePath, kShareInterface, QStringLiteral("shareUrl"), {url})
            : bus.Call(kService, sharePath, kShareInterface, QStringLiteral("shareUrls"), {QStringList{url}});
    if (reply.type() == QDBusMessage::ReplyMessage) return SendResult::Sent;
    error = ErrorSentence("KDE Connect could not send the ringtone", reply);
    return SendResult::Failed;
}
