// CheckForUpdate: the help menu's update check, from the configured address to the message.
#include "app/src/update_check.h"

#include <QDesktopServices>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "app/program.h"
#include "app/progress_dialog.h"
#include "app/settings.h"
#include "audiosvc/audiosvc.h"

namespace {

int ShowMessage(QWidget* window, const std::string& text, uint32_t type) {
    return AfxSCMessageBox(text.c_str(), type, nullptr, window);
}

}  // namespace

void CheckForUpdate(QWidget* window, std::chrono::milliseconds timeout) {
    const QString configured = QString::fromStdString(GetProfileString("Update", "Address", "")).trimmed();
    if (configured.isEmpty()) {
        ShowMessage(window, "No update address is configured.", MB_OK | MB_ICONINFORMATION);
        return;
    }
    const QUrl address(configured, QUrl::StrictMode);
    if (!updatecheck::IsWebAddress(address)) {
        ShowMessage(window, "The update address is not valid: " + configured.toStdString(), MB_OK | MB_ICONWARNING);
        return;
    }

    // The wait has no parent: the window may be destroyed while the wait runs, which must
    // not take the running dialog with it. It is placed over the window instead.
    const QPointer<QWidget> watched(window);
    const auto stillWanted = [&watched, hasWindow = window != nullptr] {
        return !hasWindow || (watched && watched->isVisible());
    };
    CProgressDlg wait(nullptr, "Checking for updates...", true);
    QTimer::singleShot(0, &wait, [&wait, &watched] {
        if (watched) wait.move(watched->frameGeometry().center() - wait.rect().center());
    });
    const updatecheck::FetchResult result = updatecheck::Fetch(address, timeout, wait, stillWanted);
    if (result.status == updatecheck::FetchResult::kCancelled || !stillWanted()) return;

    const updatecheck::Message message = updatecheck::ResultMessage(result, QString::fromUtf8(kProgramVersion));
    if (ShowMessage(watched.data(), message.text, message.type) == IDOK && updatecheck::IsWebAddress(message.page))
        QDesktopServices::openUrl(message.page);
}
