// The update checker's request: one GET on the user-interface thread's event loop, in front
// of which the progress dialog runs modally. Everything here belongs to that thread.
#include "app/src/update_check.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <utility>

#include "engine/progress.h"

namespace updatecheck {

namespace {

constexpr int kCancelPollMs = 20;

// Progress-dialog results.
constexpr int kCompleted = 1;
constexpr int kCancelled = 2;
constexpr int kFailed = 3;

int FrontResult(FetchResult::Status status) {
    switch (status) {
        case FetchResult::kAnswered: return kCompleted;
        case FetchResult::kFailed: return kFailed;
        case FetchResult::kCancelled: return kCancelled;
    }
    return kFailed;
}

// One request while the front runs: reads the body as it arrives, at most one byte more
// than a notice may have, and ends the front once with the outcome.
class Request {
public:
    Request(IProgress& front, std::function<bool()> stillWanted)
        : m_front(front), m_stillWanted(std::move(stillWanted)) {
        m_poll.setInterval(kCancelPollMs);
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            if (m_front.StopRequested() || !m_stillWanted()) Finish(FetchResult::kCancelled, {});
        });
        m_deadline.setSingleShot(true);
        QObject::connect(&m_deadline, &QTimer::timeout,
                         [this] { Finish(FetchResult::kFailed, QStringLiteral("timed out")); });
    }

    // Starts the request from the next round of the event loop: the front's own, once it is
    // ready, as a worker would start.
    void StartSoon(const QUrl& address, std::chrono::milliseconds timeout) {
        QTimer::singleShot(0, &m_poll, [this, address, timeout] { Start(address, timeout); });
    }

    // After the front's run: a request still going is given up.
    FetchResult Outcome() {
        m_frontDone = true;
        if (!m_ended) Finish(FetchResult::kCancelled, {});
        return m_result;
    }

private:
    void Start(const QUrl& address, std::chrono::milliseconds timeout) {
        if (m_ended) return;
        QNetworkRequest request(address);
        request.setTransferTimeout(0);  // the deadline below covers the whole exchange
        m_reply.reset(m_network.get(request));
        m_reply->setReadBufferSize(kMaxNoticeBytes + 1);
        QNetworkReply* reply = m_reply.get();
        QObject::connect(reply, &QNetworkReply::readyRead, [this] { ReadBody(); });
        QObject::connect(reply, &QNetworkReply::downloadProgress, [this](qint64 received, qint64 total) {
            if (total > 0) m_front.SetPercent(static_cast<uint32_t>(std::min<qint64>(100, received * 100 / total)));
        });
        QObject::connect(reply, &QNetworkReply::finished, [this] { OnFinished(); });
        m_deadline.start(timeout);
        m_poll.start();
    }

    void ReadBody() {
        if (m_ended) return;
        if (const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
            status.isValid() && status.toInt() != 200) {
            // A failing answer's body is dropped unread; its status is reported at the end.
            m_reply->skip(m_reply->bytesAvailable());
            return;
        }
        m_result.body += m_reply->read(kMaxNoticeBytes + 1 - m_result.body.size());
        if (m_result.body.size() > kMaxNoticeBytes)
            Finish(FetchResult::kFailed, QStringLiteral("the answer is larger than 64 KiB"));
    }

    void OnFinished() {
        if (m_ended) return;
        const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (status.isValid() && status.toInt() != 200)
            return Finish(FetchResult::kFailed,
                          QStringLiteral("the server answered with status %1").arg(status.toInt()));
        if (m_reply->error() != QNetworkReply::NoError) return Finish(FetchResult::kFailed, m_reply->errorString());
        ReadBody();
        if (!m_ended) Finish(FetchResult::kAnswered, {});
    }

    void Finish(FetchResult::Status status, const QString& reason) {
        if (m_ended) return;
        m_ended = true;
        m_poll.stop();
        m_deadline.stop();
        m_result.status = status;
        m_result.reason = reason;
        if (status != FetchResult::kAnswered) m_result.body.clear();
        // Aborting emits finished at once; m_ended keeps it from counting again.
        if (m_reply && !m_reply->isFinished()) m_reply->abort();
        if (!m_frontDone) m_front.End(FrontResult(status));
    }

    IProgress& m_front;
    const std::function<bool()> m_stillWanted;
    QTimer m_poll;
    QTimer m_deadline;
    QNetworkAccessManager m_network;
    std::unique_ptr<QNetworkReply> m_reply;  // destroyed before the manager that made it
    FetchResult m_result;
    bool m_ended = false;      // the outcome is known
    bool m_frontDone = false;  // the front's run is over
};

}  // namespace

FetchResult Fetch(const QUrl& address, std::chrono::milliseconds timeout, IProgress& front,
                  const std::function<bool()>& stillWanted) {
    Request request(front, stillWanted);
    request.StartSoon(address, timeout);
    front.RunModal();
    front.Close();
    return request.Outcome();
}

}  // namespace updatecheck
