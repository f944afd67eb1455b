#include "phonelink/src/gs_connect.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QMap>

#include <mutex>

#include "phonelink/src/phone_ids.h"

namespace {

// The shareFile action's parameter (sb): the file (a path or URI) and whether the phone
// opens it once received.
struct ShareFileParameter {
    QString file;
    bool open = false;
};

}  // namespace

Q_DECLARE_METATYPE(ShareFileParameter)

namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const ShareFileParameter& parameter) {
    argument.beginStructure();
    argument << parameter.file << parameter.open;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, ShareFileParameter& parameter) {
    argument.beginStructure();
    argument >> parameter.file >> parameter.open;
    argument.endStructure();
    return argument;
}

void RegisterShareFileParameter() {
    static std::once_flag once;
    std::call_once(once, [] { qDBusRegisterMetaType<ShareFileParameter>(); });
}

const QString kService = QStringLiteral("org.gnome.Shell.Extensions.GSConnect");
const QString kManagerPath = QStringLiteral("/org/gnome/Shell/Extensions/GSConnect");
const QString kDeviceInterface = QStringLiteral("org.gnome.Shell.Extensions.GSConnect.Device");
const QString kActionsInterface = QStringLiteral("org.gtk.Actions");
const QString kShareAction = QStringLiteral("shareFile");

// a{oa{sa{sv}}}: the objects of GetManagedObjects with their interfaces' properties.
using ManagedObjects = QMap<QDBusObjectPath, QMap<QString, QVariantMap>>;

WayScan Unavailable(const char* hint) {
    WayScan scan;
    scan.state = {PhoneWay::GsConnect, false, hint};
    return scan;
}

QString LastPathElement(const QString& path) { return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1); }

}  // namespace

WayScan ScanGsConnect(SessionBus& bus) {
    if (!bus.IsConnected()) return Unavailable(kNoSessionBusHint);
    if (!bus.HasOwner(kService)) return Unavailable(kGsConnectNotRunningHint);
    const QDBusMessage reply = bus.Call(kService, kManagerPath, QStringLiteral("org.freedesktop.DBus.ObjectManager"),
                                        QStringLiteral("GetManagedObjects"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return Unavailable(kGsConnectNoAnswerHint);
    const ManagedObjects objects = qdbus_cast<ManagedObjects>(reply.arguments().at(0));

    WayScan scan;
    for (auto object = objects.begin(); object != objects.end(); ++object) {
        const auto device = object.value().find(kDeviceInterface);
        if (device == object.value().end()) continue;
        const QVariantMap& properties = device.value();
        if (!properties.value(QStringLiteral("Connected")).toBool() ||
            !properties.value(QStringLiteral("Paired")).toBool())
            continue;
        const QString path = object.key().path();
        QString id = properties.value(QStringLiteral("Id")).toString();
        if (id.isEmpty()) id = LastPathElement(path);
        const QString name = properties.value(QStringLiteral("Name")).toString();
        Phone phone;
        phone.way = PhoneWay::GsConnect;
        phone.id = MakePhoneId(PhoneWay::GsConnect, id.toStdString());
        phone.name = (name.isEmpty() ? id : name).toStdString();
        phone.objectPath = path.toStdString();
        scan.phones.push_back(std::move(phone));
    }
    scan.state = {PhoneWay::GsConnect, !scan.phones.empty(), scan.phones.empty() ? kGsConnectNoPhoneHint : ""};
    return scan;
}

SendResult SendOverGsConnect(SessionBus& bus, const Phone& phone, const QString& url, std::string& error) {
    if (!bus.IsConnected()) {
        error = std::string(kNoSessionBusHint) + ".";
        return SendResult::Failed;
    }
    if (!bus.HasOwner(kService)) {
        error = std::string(kGsConnectNotRunningHint) + ".";
        return SendResult::Failed;
    }
    const QString path = QString::fromStdString(phone.objectPath);
    // Describe tells whether the action is there and enabled (a disabled one ignores
    // activations silently): (b enabled, g parameter type, av state).
    const QDBusMessage described =
        bus.Call(kService, path, kActionsInterface, QStringLiteral("Describe"), {kShareAction});
    bool enabled = false;
    if (described.type() == QDBusMessage::ReplyMessage && !described.arguments().isEmpty()) {
        const QDBusArgument description = described.arguments().at(0).value<QDBusArgument>();
        description.beginStructure();
        description >> enabled;
    }
    if (!enabled) {
        error = phone.name + " does not take files over GSConnect now (is it connected, with its Share plug-in on?).";
        return SendResult::Failed;
    }
    // Activate(s name, av parameter, a{sv} platform data): each item of a QVariantList
    // goes as one variant.
    RegisterShareFileParameter();
    const QVariantList parameter{QVariant::fromValue(ShareFileParameter{url, false})};
    const QVariantList arguments{kShareAction, QVariant(parameter), QVariantMap{}};
    const QDBusMessage reply = bus.Call(kService, path, kActionsInterface, QStringLiteral("Activate"), arguments);
    if (reply.type() == QDBusMessage::ReplyMessage) return SendResult::Sent;
    error = ErrorSentence("GSConnect could not send the ringtone", reply);
    return SendResult::Failed;
}
