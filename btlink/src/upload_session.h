// One upload: pulls the file's bytes through the callback into a staged copy, then sends
// the copy with OBEX object push (org.bluez.obex on the session bus): Client1.CreateSession
// to the device with target "opp", ObjectPush1.SendFile, and the transfer's Status
// ("complete" or "error") and Transferred watched until it ends. A cancel request cancels
// the transfer. The session is removed and the copy deleted on every path.
// Everything but RequestStop runs on the thread that made the session.
#pragma once

#include <QDBusMessage>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>

#include "btlink/btlink.h"
#include "btlink/src/bt_address.h"
#include "btlink/src/bus_types.h"
#include "btlink/src/operation_thread.h"
#include "btlink/src/staged_file.h"

class UploadSession : public QObject, public Stoppable {
    Q_OBJECT
public:
    enum class Outcome { Completed, Cancelled, Failed };

    UploadSession(IBtUploadCb& callback, BtAddress address, std::string fileName,
                  std::chrono::milliseconds stallTimeout);
    ~UploadSession() override;

    // Runs the upload to its end and cleans up; the end callback is the caller's.
    Outcome Run();
    // Any thread: cancels the upload.
    void RequestStop() override;

private Q_SLOTS:
    void OnPropertiesChanged(const QDBusMessage& message);

private:
    Outcome Stage();
    void CreateSession();
    void SendFile();
    void OnTransferStatus(const QString& status);
    void End(Outcome outcome);
    void RemoveSession();

    IBtUploadCb& m_callback;
    const BtAddress m_address;
    const std::string m_fileName;
    std::atomic<bool> m_cancelRequested{false};  // read while staging, before the loop runs
    std::optional<StagedFile> m_staged;
    std::optional<PrivateBus> m_bus;
    QEventLoop m_loop;
    QTimer m_stallTimer;
    QString m_session;                     // the OBEX session's object path once made
    QString m_transfer;                    // the transfer's object path once SendFile answered
    QMap<QString, QString> m_earlyStatus;  // Status of transfers seen before SendFile answered
    std::optional<Outcome> m_outcome;
};
