// The real KDE Connect daemon (Debian's kdeconnect) on the private session bus, with a
// scratch home that knows one paired phone that is not reachable: the scan lists nothing
// and says why, sending to that phone fails with a sentence, and the daemon runs on.
#include <gtest/gtest.h>

#include <QDBusMessage>

#include "phonelink/phones.h"
#include "phonelink/send.h"
#include "tests/phonelink/bus_mocks.h"

namespace {

TEST(KdeConnectDaemonTest, ARealDaemonWithoutReachablePhonesListsNothing) {
    EnsureCoreApplication();
    SKIP_WITHOUT_MOCK_BUSES();
    if (KdeConnectDaemon::Executable().empty())
        GTEST_SKIP() << "kdeconnectd is not installed (Debian package kdeconnect)";
    KdeConnectDaemon daemon("0123456789abcdef", "Paired Phone");
    ASSERT_TRUE(daemon.Running());

    // The daemon knows the paired phone ...
    QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.kde.kdeconnect"), QStringLiteral("/modules/kdeconnect"),
                                       QStringLiteral("org.kde.kdeconnect.daemon"), QStringLiteral("devices"));
    call.setArguments({false, false});
    const QDBusMessage known = TestBus(false).call(call, QDBus::Block, 10000);
    ASSERT_EQ(known.type(), QDBusMessage::ReplyMessage) << known.errorMessage().toStdString();
    EXPECT_EQ(known.arguments().value(0).toStringList(), QStringList{QStringLiteral("0123456789abcdef")});

    // ... but it is not reachable, so there is nothing to send to.
    ScratchFolder scratch;
    ScanPlaces places;
    places.gvfsRoot = (scratch.Path() / "gvfs").string();
    places.mountTable = (scratch.Path() / "mounts").string();
    const PhoneScan scan = ScanPhones(places);
    EXPECT_TRUE(scan.phones.empty());
    ASSERT_EQ(scan.ways.size(), 3u);
    EXPECT_EQ(scan.ways[1].way, PhoneWay::KdeConnect);
    EXPECT_FALSE(scan.ways[1].available);
    EXPECT_EQ(scan.ways[1].hint, "No paired phone is reachable in KDE Connect");

    const EnvironmentScope cache("XDG_CACHE_HOME", (scratch.Path() / "cache").string());
    WriteWholeFile(scratch.Path() / "render.tmp", RandomBytes(1000, 7));
    SendRequest request;
    request.phone.way = PhoneWay::KdeConnect;
    request.phone.id = "kdeconnect:0123456789abcdef";
    request.phone.name = "Paired Phone";
    request.phone.objectPath = "/modules/kdeconnect/devices/0123456789abcdef";
    request.file = (scratch.Path() / "render.tmp").string();
    request.fileName = "Ring.mp3";
    std::string error;
    EXPECT_EQ(SendToPhone(request, {}, error), SendResult::Failed);
    EXPECT_NE(error.find("Paired Phone"), std::string::npos) << error;

    EXPECT_TRUE(daemon.Running());
    const QDBusMessage after = TestBus(false).call(call, QDBus::Block, 10000);
    EXPECT_EQ(after.type(), QDBusMessage::ReplyMessage);
}

}  // namespace
