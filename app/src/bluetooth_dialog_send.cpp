// CBluetoothDlg::SendFile: the transfer behind a progress dialog, the upload callbacks, and
// sending to a phone of another way.
#include "app/bluetooth_dialog.h"

#include <QFile>

#include <chrono>
#include <thread>

#include "app/progress_dialog.h"
#include "audiosvc/audiosvc.h"
#include "engine/progress.h"

namespace {

// How often the sender thread looks at the upload's result and the cancel button.
constexpr auto kSenderPollPeriod = std::chrono::milliseconds(10);

}  // namespace

void CBluetoothDlg::SendFile() {
    if (!m_phone.id.empty() && m_phone.way != PhoneWay::Bluetooth) return SendToOtherWay();
    m_file.reset(std::fopen(QFile::encodeName(m_filePath).constData(), "rb"));
    if (!m_file) return;
    m_bytesRead = 0;
    m_fileSize = 0;
    if (std::fseek(m_file.get(), 0, SEEK_END) == 0) {
        const long size = std::ftell(m_file.get());
        m_fileSize = size > 0 ? static_cast<uint64_t>(size) : 0;
    }
    std::rewind(m_file.get());
    m_result = 0;

    int result;
    {
        CProgressDlg progress(parentWidget(), "Sending data...", true);
        m_progress = &progress;
        result = RunWithProgress(progress, [this](IProgress& worker) { return RunSender(worker); });
        progress.WaitFinished();
        m_progress = nullptr;
    }
    m_file.reset();
    m_addressLow = 0;
    m_addressHigh = 0;

    if (result == kProgressFailed)
        AfxSCMessageBox("Error sending file", MB_OK, nullptr, parentWidget());
    else if (result == kProgressCompleted)
        AfxSCMessageBox("File successfully saved!", MB_OK | MB_ICONINFORMATION, nullptr, parentWidget());
}

int CBluetoothDlg::RunSender(IProgress& progress) {
    GetBtUploadSingleton()->StartUpload(m_addressLow, m_addressHigh, m_fileName.toUtf8().constData(), this);
    // btlink ends every upload with one callback, a cancelled one too.
    for (;;) {
        std::this_thread::sleep_for(kSenderPollPeriod);
        if (const int result = m_result.load(); result != 0) return result;
        if (progress.StopRequested()) GetBtUploadSingleton()->CancelUpload();
    }
}

void CBluetoothDlg::OnUploadFinished(bool cancelled) { m_result = cancelled ? kProgressCancelled : kProgressCompleted; }

void CBluetoothDlg::OnUploadError() { m_result = kProgressFailed; }

bool CBluetoothDlg::ReadData(void* buffer, uint32_t count, uint32_t* bytesRead) {
    if (!m_file || buffer == nullptr || bytesRead == nullptr) return false;
    const size_t read = std::fread(buffer, 1, count, m_file.get());
    if (read < count && std::ferror(m_file.get())) return false;
    *bytesRead = static_cast<uint32_t>(read);
    m_bytesRead += read;
    if (m_progress != nullptr && m_fileSize > 0)
        m_progress->SetPercent(static_cast<uint32_t>(m_bytesRead * 100 / m_fileSize));
    return true;
}

void CBluetoothDlg::SendToOtherWay() {
    SendRequest request{m_phone, QFile::encodeName(m_filePath).toStdString(), m_fileName.toStdString(), m_folder,
                        false};
    const QString phone = QString::fromStdString(m_phone.name);
    for (;;) {
        SendResult sent = SendResult::Failed;
        std::string error;
        int result;
        {
            CProgressDlg progress(parentWidget(), "Sending data...", true);
            result = RunWithProgress(progress, [&](IProgress& worker) {
                sent = SendToPhone(
                    request,
                    [&worker](uint64_t done, uint64_t total) {
                        if (total > 0) worker.SetPercent(static_cast<uint32_t>(done * 100 / total));
                        return !worker.StopRequested();
                    },
                    error);
                return sent == SendResult::Cancelled ? kProgressCancelled : kProgressCompleted;
            });
            progress.WaitFinished();
        }
        if (result == kProgressCancelled || sent == SendResult::Cancelled) return;
        switch (sent) {
            case SendResult::Sent:
                AfxSCMessageBox(QStringLiteral("Sent to %1").arg(phone).toUtf8().constData(),
                                MB_OK | MB_ICONINFORMATION, nullptr, parentWidget());
                return;
            case SendResult::Exists:
                if (AfxSCMessageBox("File already exists. Overwrite file?", MB_YESNO | MB_ICONWARNING, nullptr,
                                    parentWidget()) != IDYES)
                    return;
                request.replace = true;
                continue;
            case SendResult::Full:
                AfxSCMessageBox(
                    QStringLiteral("There is no room for the ringtone on %1").arg(phone).toUtf8().constData(),
                    MB_OK | MB_ICONERROR, nullptr, parentWidget());
                return;
            default:
                AfxSCMessageBox(("Error sending file\n" + error).c_str(), MB_OK | MB_ICONERROR, nullptr,
                                parentWidget());
                return;
        }
    }
}
