// CTessalyDlg, page 3: the destination menu, a file on the computer or a phone.
#include "app/main_window.h"

#include <QFileDialog>
#include <QFileInfo>

#include "app/bluetooth_dialog.h"
#include "app/program.h"
#include "app/settings.h"
#include "audiosvc/audiosvc.h"
#include "contracts/provider_api.h"
#include "engine/track.h"
#include "skin/menu.h"

namespace {

// The provider's capacity for a format description.
constexpr uint32_t kDescriptionCapacity = 128;
// "Save" setting: the folder the last ringtone was saved to on the computer.
constexpr char kLastSaveFolderEntry[] = "LastFolder";
// "Save" setting: the id of the phone the last ringtone was sent to.
constexpr char kLastPhoneEntry[] = "LastPhone";

QString SaveFileWithQt(QWidget* parent, const QString& initialPath, const QString& filter, const QString& suffix,
                       bool confirmOverwrite) {
    QFileDialog dialog(parent, QString(), initialPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

// The name a track is known by, as a file name without extension: once open its display
// name (the title tag, else the file's name), before that its given name or file name.
QString TrackName(const TrackSlot& slot) {
    if (slot.source.IsOpen()) {
        QString name = QString::fromStdString(slot.source.DisplayName()).trimmed();
        // A title may hold what a file name cannot.
        name.replace(QLatin1Char('/'), QLatin1Char('-'));
        name.remove(QChar(0));
        if (!name.isEmpty()) return name;
    }
    const std::string& name = slot.givenName.empty() ? slot.path : slot.givenName;
    return QFileInfo(QString::fromStdString(name)).completeBaseName();
}

// Where the save dialog starts: the folder of the last ringtone saved, else the last folder
// a track came from, else the documents folder; ends in a folder separator.
QString SaveFolder() {
    QString folder = QString::fromStdString(GetProfileString("Save", kLastSaveFolderEntry, ""));
    if (folder.isEmpty()) folder = QString::fromStdString(GetProfileString("General", "LastComputerFolder", ""));
    if (folder.isEmpty()) folder = DocumentsFolder();
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

}  // namespace

void CTessalyDlg::SetSaveFileDialog(SaveFileDialog dialog) { m_saveFileDialog = std::move(dialog); }

void CTessalyDlg::SetBluetoothRun(BluetoothRun run) { m_bluetoothRun = std::move(run); }

void CTessalyDlg::ShowDestinationMenu() {
    CSCMenu menu(this);
    menu.AppendMenu(CSCMenu::MF_STRING, kMenuDestinationComputer, QStringLiteral("My Computer"));
    menu.AppendMenu(CSCMenu::MF_STRING, kMenuDestinationBluetooth, QStringLiteral("Send to phone"));
    switch (ChoosePopup(menu, IDC_PAGE3_BROWSE)) {
        case kMenuDestinationComputer: ChooseComputerDestination(); break;
        case kMenuDestinationBluetooth: ChooseBluetoothDestination(); break;
        default: break;
    }
}

void CTessalyDlg::ChooseComputerDestination() {
    const QString extension = OutputExtension();
    if (extension.isEmpty()) return;
    char description[kDescriptionCapacity] = {};
    QoGetFormatDescription(extension.toUtf8().constData(), description, kDescriptionCapacity);
    const QString filter = QStringLiteral("%1 (*%2)").arg(QString::fromUtf8(description), extension);
    // A name to start from: the one chosen before, else the first track's.
    const QString fileName = m_destination.fileName.isEmpty()
                                 ? TrackName(m_track1.source.IsOpen() ? m_track1 : m_track2)
                                 : m_destination.fileName;
    const QString folder = m_destination.folder.isEmpty() ? SaveFolder() : m_destination.folder;
    const QString initialPath = folder + fileName + extension;
    const SaveFileDialog& ask = m_saveFileDialog ? m_saveFileDialog : SaveFileDialog(SaveFileWithQt);
    const QString chosen = ask(this, initialPath, filter, extension.mid(1), !m_saver.overwrite);
    if (chosen.isEmpty()) return;
    const QFileInfo file(chosen);
    m_destination.kind = kDestinationComputer;
    // The dialog adds the default extension; a name typed with another keeps it as part of
    // the name, as the format's extension is always appended.
    m_destination.fileName =
        file.suffix().compare(extension.mid(1), Qt::CaseInsensitive) == 0 ? file.completeBaseName() : file.fileName();
    m_destination.folder = file.absolutePath();
    if (!m_destination.folder.endsWith(QLatin1Char('/'))) m_destination.folder += QLatin1Char('/');
    WriteProfileString("Save", kLastSaveFolderEntry, file.absolutePath().toStdString());
    RefreshPage3();
}

void CTessalyDlg::ChooseBluetoothDestination() {
    if (m_destination.fileName.isEmpty())
        m_destination.fileName = TrackName(m_track1.source.IsOpen() ? m_track1 : m_track2);
    CBluetoothDlg dialog(this, QString(), static_cast<uint32_t>(m_destination.deviceAddress),
                         static_cast<uint32_t>(m_destination.deviceAddress >> 32), m_destination.fileName);
    dialog.SetLastPhone(m_destination.phone.id.empty() ? GetProfileString("Save", kLastPhoneEntry, "")
                                                       : m_destination.phone.id);
    dialog.SetFileExtension(OutputExtension());
    const int result = m_bluetoothRun ? m_bluetoothRun(dialog) : dialog.exec();
    if (result != IDOK) return;
    m_destination.kind = kDestinationBluetooth;
    m_destination.deviceName = dialog.GetDeviceName();
    m_destination.fileName = dialog.GetFileName();
    m_destination.deviceAddress = uint64_t{dialog.GetAddressHigh()} << 32 | dialog.GetAddressLow();
    m_destination.phone = dialog.GetPhone();
    WriteProfileString("Save", kLastPhoneEntry, m_destination.phone.id);
    RefreshPage3();
}
