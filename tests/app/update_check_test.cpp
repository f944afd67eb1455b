// The help menu's update check against a web server in the test process: the notice read
// from it, the version comparison, the messages and the page opened, failures, the time-out,
// cancelling and a window that goes away while the check runs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <map>
#include <memory>
#include <utility>

#include "app/control_tables.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app/progress_dialog.h"
#include "app/settings.h"
#include "app/src/update_check.h"
#include "audiosvc/audiosvc.h"
#include "skin/buttons.h"
#include "skin/menu.h"
#include "tests/app/main_window_fixture.h"
#include "tests/app/ui_test_support.h"

namespace {

using namespace std::chrono_literals;
using updatecheck::CompareVersions;
using updatecheck::IsVersion;
using updatecheck::ParseNotice;

constexpr uint32_t kOpenPageOk = 0xA;

QByteArray HttpAnswer(int status, const QByteArray& reason, const QByteArray& body) {
    return "HTTP/1.1 " + QByteArray::number(status) + " " + reason +
           "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

QByteArray Ok(const QByteArray& body) { return HttpAnswer(200, "OK", body); }

// A web server on 127.0.0.1 that gives every request the same canned answer, or none at all
// when the answer is empty (the connection stays open). It records the request lines.
class CannedServer {
public:
    explicit CannedServer(QByteArray answer) : answer_(std::move(answer)) {
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection())
                QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] { Read(*socket); });
        });
    }
    QString Address(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }
    const std::vector<QByteArray>& RequestLines() const { return requestLines_; }

private:
    void Read(QTcpSocket& socket) {
        QByteArray& received = received_[&socket];
        received += socket.readAll();
        const qsizetype headerEnd = received.indexOf("\r\n\r\n");
        if (headerEnd < 0) return;
        requestLines_.push_back(received.left(received.indexOf("\r\n")));
        received.clear();
        if (answer_.isEmpty()) return;
        socket.write(answer_);
        socket.disconnectFromHost();
    }

    QTcpServer server_;
    QByteArray answer_;
    std::map<QTcpSocket*, QByteArray> received_;
    std::vector<QByteArray> requestLines_;
};

// Takes the addresses the program asks the desktop to open.
class OpenedAddresses : public QObject {
    Q_OBJECT
public:
    OpenedAddresses() {
        for (const char* scheme : {"http", "https"}) QDesktopServices::setUrlHandler(scheme, this, "Open");
    }
    ~OpenedAddresses() override {
        for (const char* scheme : {"http", "https"}) QDesktopServices::unsetUrlHandler(scheme);
    }
    std::vector<QUrl> urls;

public slots:
    void Open(const QUrl& url) { urls.push_back(url); }
};

// Counts the paint events of a widget while it lives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget& widget) : widget_(widget) { widget_.installEventFilter(this); }
    ~PaintCounter() override { widget_.removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
    int count = 0;

private:
    QWidget& widget_;
};

// The update check's wait while it runs; null when none is shown.
CProgressDlg* RunningWait() { return qobject_cast<CProgressDlg*>(QApplication::activeModalWidget()); }

// Calls act once the update check's wait is shown (polled from the event loop).
void OnceTheWaitShows(QObject* context, const std::function<void(CProgressDlg&)>& act) {
    auto* poll = new QTimer(context);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (CProgressDlg* wait = RunningWait()) {
            poll->deleteLater();
            poll->stop();
            act(*wait);
        }
    });
    poll->start();
}

class UpdateCheckTest : public MainWindowTest {
protected:
    static void Configure(const QString& address) {
        ASSERT_TRUE(WriteProfileString("Update", "Address", address.toStdString()));
    }
    // Opens the help menu of a running window and chooses "Check for Update"; the menu's
    // entries are recorded.
    void CheckFromMenu(CTessalyDlg& window) {
        window.SetPopupChooser([this](CSCMenu& menu) {
            menuEntries_.clear();
            for (QAction* entry : menu.actions()) menuEntries_.push_back(entry->text());
            return int(CTessalyDlg::kMenuCheckForUpdate);
        });
        auto* help = qobject_cast<CSCButton*>(window.Skin().GetControl(IDC_MENU_HELP));
        ASSERT_NE(help, nullptr);
        help->Click();
    }
    // Runs a window and checks from its help menu; the messages shown.
    std::vector<ShownMessage> CheckFromMenu() {
        CTessalyDlg window(app_);
        RunWindow(window, [&] { CheckFromMenu(window); });
        return Shown();
    }
    // The one message of a check that could not be done, without its common start.
    std::string CantCheckReason() {
        const std::vector<ShownMessage> shown = CheckFromMenu();
        const std::string start = "Can't check for updates: ";
        if (shown.size() != 1 || shown[0].text.rfind(start, 0) != 0) {
            ADD_FAILURE() << "expected one \"" << start << "...\" message, got " << shown.size()
                          << (shown.empty() ? "" : " first: " + shown[0].text);
            return {};
        }
        EXPECT_EQ(shown[0].type & MB_TYPEMASK, uint32_t(MB_OK));
        return shown[0].text.substr(start.size());
    }

    std::vector<QString> menuEntries_;
};

// ---- the notice and versions

TEST(UpdateNotice, ReadsVersionAndPageWithSpacesCommentsAndWindowsLineEnds) {
    const auto notice = ParseNotice(
        "\xEF\xBB\xBF# newest release\r\n; a comment\r\n\r\nchannel=stable\r\n"
        "  version = 2.4.1 \r\npage= https://example.org/get?x=1\r\nversion=9.9.9\r\n");
    ASSERT_TRUE(notice.has_value());
    EXPECT_EQ(notice->version, "2.4.1") << "the first version counts";
    EXPECT_EQ(notice->page, QUrl("https://example.org/get?x=1"));

    const auto bare = ParseNotice("version=3");
    ASSERT_TRUE(bare.has_value());
    EXPECT_EQ(bare->version, "3");
    EXPECT_TRUE(bare->page.isEmpty());
}

TEST(UpdateNotice, APageThatIsNotAWebAddressIsDropped) {
    for (const char* body : {"version=2.0\npage=file:///etc/passwd", "version=2.0\npage=javascript:alert(1)",
                             "version=2.0\npage=ftp://example.org/x", "version=2.0\npage=not an address"}) {
        const auto notice = ParseNotice(body);
        ASSERT_TRUE(notice.has_value()) << body;
        EXPECT_TRUE(notice->page.isEmpty()) << body;
    }
}

TEST(UpdateNotice, WithoutAValidVersionItIsNoNotice) {
    for (const QByteArray& body :
         {QByteArray(""), QByteArray("page=https://example.org/"), QByteArray("version="), QByteArray("version=v1.2"),
          QByteArray("version=1..2"), QByteArray("version=1.2."), QByteArray("version=1.2-beta"),
          QByteArray("Version=1.2"), QByteArray("<html><body>Not found</body></html>"),
          QByteArray("version=1.\xff\xfe"), QByteArray("\x89PNG\r\n\x1a\n\0\0", 10)})
        EXPECT_FALSE(ParseNotice(body).has_value()) << body.toStdString();
}

TEST(UpdateNotice, VersionsCompareNumericallyPartByPart) {
    EXPECT_GT(CompareVersions("1.10.0", "1.9.0"), 0);
    EXPECT_LT(CompareVersions("1.9.3", "1.10.0"), 0);
    EXPECT_GT(CompareVersions("1.0.12", "1.0.9"), 0);
    EXPECT_EQ(CompareVersions("1.2", "1.2.0"), 0) << "a missing part counts as 0";
    EXPECT_LT(CompareVersions("1.2", "1.2.0.1"), 0);
    EXPECT_EQ(CompareVersions("01.002", "1.2"), 0) << "leading zeros do not count";
    EXPECT_GT(CompareVersions("2", "1.99.99"), 0);
    // Parts longer than any integer type still compare by value.
    EXPECT_GT(CompareVersions("1.100000000000000000000001", "1.99999999999999999999999"), 0);
    EXPECT_TRUE(IsVersion("0"));
    EXPECT_FALSE(IsVersion("1.-2"));
    EXPECT_FALSE(IsVersion("1 .2"));
}

// ---- the check from the help menu

TEST_F(UpdateCheckTest, TheHelpMenuOffersItAfterOnlineHelpAndWithoutAnAddressSaysSo) {
    const std::vector<ShownMessage> shown = CheckFromMenu();
    EXPECT_EQ(menuEntries_, (std::vector<QString>{"Online Help", "Check for Update"}));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "No update address is configured.");
    EXPECT_EQ(shown[0].type, uint32_t(MB_OK | MB_ICONINFORMATION));
}

TEST_F(UpdateCheckTest, OnlyWebAddressesAreAsked) {
    for (const QString& address : {QStringLiteral("ftp://127.0.0.1/notice"), QStringLiteral("file:///tmp/notice"),
                                   QStringLiteral("127.0.0.1/notice"), QStringLiteral("http://")}) {
        Shown().clear();
        Configure(address);
        const std::vector<ShownMessage> shown = CheckFromMenu();
        ASSERT_EQ(shown.size(), 1u) << address.toStdString();
        EXPECT_EQ(shown[0].text, "The update address is not valid: " + address.toStdString());
    }
}

TEST_F(UpdateCheckTest, ANewerVersionOffersItsPageAndOpenPageOpensIt) {
    CannedServer server(Ok("version=1.10.0\npage=https://zoruvo.example/morvane/get\n"));
    Configure(server.Address("/morvane/notice.txt"));
    OpenedAddresses opened;

    Answer() = IDCANCEL;  // "OK"
    std::vector<ShownMessage> shown = CheckFromMenu();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Morvane 1.10.0 is available.");
    EXPECT_EQ(shown[0].type & MB_TYPEMASK, kOpenPageOk);
    EXPECT_TRUE(opened.urls.empty()) << "OK opens nothing";
    EXPECT_EQ(server.RequestLines(), (std::vector<QByteArray>{"GET /morvane/notice.txt HTTP/1.1"}));

    Shown().clear();
    Answer() = IDOK;  // "Open Page"
    shown = CheckFromMenu();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(opened.urls, (std::vector<QUrl>{QUrl("https://zoruvo.example/morvane/get")}));
}

TEST_F(UpdateCheckTest, ANewerVersionWithoutAPageHasOnlyOk) {
    CannedServer server(Ok("version=2\npage=file:///etc/passwd\n"));
    Configure(server.Address("/notice"));
    OpenedAddresses opened;
    const std::vector<ShownMessage> shown = CheckFromMenu();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Morvane 2 is available.");
    EXPECT_EQ(shown[0].type, uint32_t(MB_OK | MB_ICONINFORMATION));
    EXPECT_TRUE(opened.urls.empty());
}

TEST_F(UpdateCheckTest, TheSameOrAnOlderVersionIsTheLatest) {
    // The program is 1.0.12: 1.0.9 is older although it sorts after it as text.
    for (const char* version : {"1.0.12", "1.0.12.0", "1.0.9", "0.99"}) {
        Shown().clear();
        CannedServer server(Ok(QByteArray("version=") + version + "\npage=https://zoruvo.example/\n"));
        Configure(server.Address("/notice"));
        const std::vector<ShownMessage> shown = CheckFromMenu();
        ASSERT_EQ(shown.size(), 1u) << version;
        EXPECT_EQ(shown[0].text, std::string("You have the latest version of Morvane (") + kProgramVersion + ").")
            << version;
        EXPECT_EQ(shown[0].type, uint32_t(MB_OK | MB_ICONINFORMATION));
    }
}

TEST_F(UpdateCheckTest, AnAnswerOtherThan200OrNoNoticeIsAFailure) {
    for (const auto& [answer, reason] :
         {std::pair{HttpAnswer(404, "Not Found", "version=9.9.9\n"), "the server answered with status 404"},
          std::pair{HttpAnswer(500, "Internal Server Error", ""), "the server answered with status 500"},
          std::pair{HttpAnswer(404, "Not Found", QByteArray(100000, 'x')), "the server answered with status 404"},
          std::pair{Ok("<html><body>Welcome</body></html>"), "the answer is not an update notice"},
          std::pair{Ok(""), "the answer is not an update notice"}}) {
        Shown().clear();
        CannedServer server(answer);
        Configure(server.Address("/notice"));
        EXPECT_EQ(CantCheckReason(), reason) << answer.left(12).toStdString();
    }
}

TEST_F(UpdateCheckTest, ANoticeOfExactly64KiBIsReadAndOneByteMoreIsRefused) {
    const QByteArray head = "version=7.0\n";
    QByteArray body = head + QByteArray(updatecheck::kMaxNoticeBytes - head.size() - 1, '#') + "\n";
    ASSERT_EQ(body.size(), 65536);
    {
        CannedServer server(Ok(body));
        Configure(server.Address("/big"));
        const std::vector<ShownMessage> shown = CheckFromMenu();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, "Morvane 7.0 is available.");
    }
    Shown().clear();
    body.append('\n');
    CannedServer server(Ok(body));
    Configure(server.Address("/bigger"));
    EXPECT_EQ(CantCheckReason(), "the answer is larger than 64 KiB");
}

TEST_F(UpdateCheckTest, ARefusedConnectionGivesTheNetworkError) {
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    Configure(QStringLiteral("http://127.0.0.1:%1/notice").arg(closedPort));
    EXPECT_EQ(CantCheckReason(), "Connection refused");
}

TEST_F(UpdateCheckTest, AServerThatNeverAnswersTimesOut) {
    CannedServer server({});
    Configure(server.Address("/silent"));
    CTessalyDlg window(app_);
    RunWindow(window, [&] { CheckForUpdate(&window, 200ms); });
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].text, "Can't check for updates: timed out");
    EXPECT_EQ(server.RequestLines().size(), 1u);
}

TEST_F(UpdateCheckTest, CancellingTheWaitShowsNothing) {
    CannedServer server({});
    Configure(server.Address("/silent"));
    CTessalyDlg window(app_);
    bool waited = false;
    RunWindow(window, [&] {
        OnceTheWaitShows(&window, [&](CProgressDlg& wait) {
            waited = true;
            auto* cancel = qobject_cast<CSCButton*>(wait.Skin().GetControl(IDC_PROGRESS_CANCEL));
            ASSERT_NE(cancel, nullptr);
            EXPECT_TRUE(cancel->isVisible()) << "the wait can be cancelled";
            // The window behind still repaints meanwhile.
            PaintCounter painted(window);
            window.update();
            EXPECT_TRUE(WaitUntil([&] { return painted.count > 0; }, 2000));
            cancel->Click();
        });
        CheckFromMenu(window);
    });
    EXPECT_TRUE(waited) << "the check shows a modal wait";
    EXPECT_TRUE(Shown().empty()) << (Shown().empty() ? "" : Shown()[0].text);
    EXPECT_EQ(RunningWait(), nullptr);
}

TEST_F(UpdateCheckTest, ClosingTheWindowDuringTheCheckEndsItQuietly) {
    CannedServer server({});
    Configure(server.Address("/silent"));
    CTessalyDlg window(app_);
    const int result = RunWindow(window, [&] {
        OnceTheWaitShows(&window, [&](CProgressDlg&) { window.done(kInteractionDone + 1); });
        CheckFromMenu(window);
    });
    EXPECT_EQ(result, kInteractionDone + 1);
    EXPECT_TRUE(Shown().empty()) << (Shown().empty() ? "" : Shown()[0].text);
}

TEST_F(UpdateCheckTest, DestroyingTheWindowDuringTheCheckEndsItQuietly) {
    CannedServer server({});
    Configure(server.Address("/silent"));
    auto window = std::make_unique<QWidget>();
    window->show();
    QObject anchor;
    OnceTheWaitShows(&anchor, [&](CProgressDlg& wait) {
        EXPECT_NE(wait.parentWidget(), window.get()) << "the wait must outlive the window";
        window.reset();
    });
    CheckForUpdate(window.get());
    EXPECT_EQ(window, nullptr);
    EXPECT_TRUE(Shown().empty()) << (Shown().empty() ? "" : Shown()[0].text);
}

}  // namespace

#include "update_check_test.moc"
