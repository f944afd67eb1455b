// CTessalyDlg, page 3: saving the encoded ringtone to the computer or sending it to the
// chosen phone, and starting a new project.
#include "app/main_window.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include <utility>

#include "app/bluetooth_dialog.h"
#include "app/progress_dialog.h"
#include "app/tessaly_app.h"
#include "audiosvc/audiosvc.h"
#include "platform/file_placement.h"
#include "platform/files.h"

namespace {

// The message box's answer for "Open Folder" in its "Open Folder"/"OK" pair.
constexpr uint32_t kOpenFolderOk = 0x9;

int ShowMessage(QWidget* parent, const char* text, uint32_t type) {
    return AfxSCMessageBox(text, type, nullptr, parent);
}

void OpenFolderWithDesktop(const QString& filePath) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(filePath).absolutePath()));
}

}  // namespace

void CTessalyDlg::SetShowFolder(ShowFolder show) { m_showFolder = std::move(show); }

void CTessalyDlg::SaveOrSend() {
    // The button is disabled then; a command arriving anyway starts nothing.
    if (m_destination.kind == kDestinationNone || !m_outputValid) return;
    CProgressDlgFactory progress(this);
    if (!m_saver.Save(progress)) return;
    if (m_destination.kind == kDestinationComputer)
        SaveToComputer();
    else
        SendToDevice();
}

void CTessalyDlg::SaveToComputer() {
    const QString target = m_destination.folder + m_destination.fileName + OutputExtension();
    const std::string targetPath = QFile::encodeName(target).toStdString();
    if (!m_saver.overwrite && FileExists(targetPath) &&
        ShowMessage(this, "File already exists. Overwrite file?", MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    // The prepared file is private to the program; the saved copy gets the permissions of
    // any new file of the user.
    PlaceOptions options;
    options.replace = true;
    if (!PlaceCopy(m_saver.EncodedPath(), targetPath, options)) {
        ShowMessage(this, "Can't save file", MB_OK | MB_ICONERROR);
        return;
    }
    if (ShowMessage(this, "File successfully saved!", kOpenFolderOk | MB_ICONINFORMATION) == IDOK)
        (m_showFolder ? m_showFolder : ShowFolder(OpenFolderWithDesktop))(target);
}

void CTessalyDlg::SendToDevice() {
    CBluetoothDlg sender(
        this, QString::fromStdString(m_saver.EncodedPath()), static_cast<uint32_t>(m_destination.deviceAddress),
        static_cast<uint32_t>(m_destination.deviceAddress >> 32), m_destination.fileName + OutputExtension());
    sender.SetPhone(m_destination.phone);
    sender.SetToneFolder(ToneFolderOfKind(ToneKindName(ChosenPreset().kind)));
    sender.SendFile();
}

void CTessalyDlg::CreateAnother() {
    if (ShowMessage(this,
                    "This will discard the settings for the current ringtone and create\n"
                    "a new project. Do you want to continue?",
                    MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    done(CTessalyApp::kResultNewProject);
}
