// CTessalyDlg, page 1: the track edits, the track source menu (library, computer,
// recordings, audio CDs), the recorder, and the quick check of every file chosen.
#include "app/main_window.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>

#include <array>
#include <mutex>

#include "app/program.h"
#include "app/recorder_dialog.h"
#include "app/resources.h"
#include "app/settings.h"
#include "app/tessaly_app.h"
#include "audiosvc/audiosvc.h"
#include "contracts/provider_api.h"
#include "engine/track.h"
#include "engine/track_probe.h"
#include "skin/edits.h"
#include "skin/menu.h"
#include "skin/skin_base.h"
#include "skin/skin_qt.h"

namespace {

constexpr uint32_t kExtensionsCapacity = 1024;

QStringList Lines(const char* text) { return QString::fromUtf8(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

// The device paths of the CD drives, in the provider's order.
QStringList ListCdDrives() {
    std::array<char, 8192> buffer{};
    if (QoCdListDrives(buffer.data(), buffer.size()) <= 0) return {};
    return Lines(buffer.data());
}

// "Track NN.cda" for each audio track of the disc in the drive; empty when none or unreadable.
QStringList ListCdTracks(const QString& drive) {
    const QByteArray device = drive.toUtf8();
    const int count = QoCdListTracks(device.constData(), nullptr, 0);
    if (count <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(count) * 32 + 1);
    if (QoCdListTracks(device.constData(), buffer.data(), static_cast<uint32_t>(buffer.size())) <= 0) return {};
    return Lines(buffer.data());
}

QString SupportedFilesFilter() {
    std::array<char, kExtensionsCapacity> buffer{};
    QoGetSupportedFileExtensions(buffer.data(), kExtensionsCapacity);
    return QString::fromUtf8(buffer.data());
}

int EditId(int number) { return number == 2 ? IDC_PAGE1_TRACK2_EDIT : IDC_PAGE1_TRACK1_EDIT; }
int BrowseId(int number) { return number == 2 ? IDC_PAGE1_TRACK2_BROWSE : IDC_PAGE1_TRACK1_BROWSE; }

// The quick check's verdict as the user reads it; empty when the file is fine.
QString ProblemMessage(const QString& path) {
    const std::string file = path.toStdString();
    return QString::fromStdString(TrackProbeMessage(file, ProbeTrackFile(file).problem));
}

QString OpenWithQt(QWidget* parent, const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, {}, folder, filter);
}

QString ChooseCdTrack(QWidget* parent, const QString& drive, const QStringList& tracks) {
    std::array<char, 256> description{};
    QoGetFormatDescription(".cda", description.data(), description.size());
    bool chosen = false;
    const QString track =
        QInputDialog::getItem(parent, QString::fromUtf8(description.data()), drive, tracks, 0, false, &chosen);
    return chosen ? track : QString();
}

}  // namespace

void CTessalyDlg::SetOpenFileDialog(OpenFileDialog dialog) { m_openFileDialog = std::move(dialog); }

void CTessalyDlg::SetCdTrackDialog(CdTrackDialog dialog) { m_cdTrackDialog = std::move(dialog); }

void CTessalyDlg::SetTrackPath(int number, const QString& path) {
    // A changed text is checked again when it is committed.
    if (!TrackEditProblem(number).isEmpty()) FlagTrackEdit(number, {});
    TrackSlot& slot = Track(number);
    const std::string text = path.toStdString();
    // The program's own refresh of an edit shows what the slot already holds.
    if (text == slot.path || (!slot.givenName.empty() && text == slot.givenName)) return;
    // A title typed on page 3 belonged to the old basic track.
    if (number == 1) m_saver.SetTitle(std::nullopt);
    // The editor's timeline may be mixing the slot's track on the player's thread.
    CWaveFormKel* wave = WaveEditor();
    if (wave == nullptr) {
        slot.SetPath(text);
        return;
    }
    std::lock_guard lock(wave->Timeline().Guard());
    slot.SetPath(text);
}

void CTessalyDlg::RefreshTrackEdits() {
    for (int number : {1, 2}) {
        const TrackSlot& slot = Track(number);
        const std::string& shown = slot.givenName.empty() ? slot.path : slot.givenName;
        if (shown.empty()) continue;
        if (CSkinBase* edit = m_skin.GetControl(EditId(number))) edit->SetWindowText(QString::fromStdString(shown));
    }
}

bool CTessalyDlg::ChooseTrackFile(int number, const QString& path) {
    const QString problem = ProblemMessage(path);
    if (!problem.isEmpty()) {
        AfxSCMessageBox(problem.toUtf8().constData(), MB_OK, nullptr, this);
        return false;
    }
    SetTrackPath(number, path);
    RefreshTrackEdits();
    return true;
}

void CTessalyDlg::OpenStartFiles(const QStringList& paths) { TakeDroppedFiles(paths, 0); }

void CTessalyDlg::TakeDroppedFiles(const QStringList& paths, int target) {
    const int first = target == 2 ? 2 : 1;
    for (qsizetype i = 0; i < std::min<qsizetype>(paths.size(), 2); ++i)
        ChooseTrackFile(i == 0 ? first : 3 - first, paths[i]);
}

int CTessalyDlg::TrackBoxAt(const QPoint& windowPoint) {
    // A little room around the box, so that a drop just beside it still counts.
    constexpr int kMargin = 6;
    for (int number : {1, 2}) {
        QRect box;
        for (int id : {EditId(number), BrowseId(number)}) {
            CSkinBase* control = m_skin.GetControl(id);
            if (control != nullptr && control->isVisible())
                box |= QRect(control->mapTo(this, QPoint(0, 0)), control->size());
        }
        if (box.adjusted(-kMargin, -kMargin, kMargin, kMargin).contains(windowPoint)) return number;
    }
    return 0;
}

QString CTessalyDlg::TrackEditProblem(int number) const { return m_trackEditProblems[number == 2 ? 1 : 0]; }

void CTessalyDlg::CheckTypedTrack(int number) {
    const CSkinBase* edit = m_skin.GetControl(EditId(number));
    if (edit == nullptr || Track(number).temporary) return;
    const QString text = edit->GetWindowText();
    const QString problem = text.isEmpty() ? QString() : ProblemMessage(text);
    FlagTrackEdit(number, problem);
    if (!problem.isEmpty()) AfxSCMessageBox(problem.toUtf8().constData(), MB_OK, nullptr, this);
}

void CTessalyDlg::FlagTrackEdit(int number, const QString& problem) {
    m_trackEditProblems[number == 2 ? 1 : 0] = problem;
    auto* edit = qobject_cast<CSCEditBox2*>(m_skin.GetControl(EditId(number)));
    if (edit == nullptr) return;
    // The refused text stays as typed, in the skin's danger colour, with the reason as its
    // tooltip; the table's tooltip comes back once the text changes.
    static constexpr char kPlainStyle[] = "morvanePlainStyle";
    static constexpr char kPlainTooltip[] = "morvanePlainTooltip";
    QLineEdit* field = edit->Editor();
    if (!problem.isEmpty()) {
        if (!edit->property(kPlainStyle).isValid()) {
            edit->setProperty(kPlainStyle, field->styleSheet());
            edit->setProperty(kPlainTooltip, edit->toolTip());
        }
        field->setStyleSheet(edit->property(kPlainStyle).toString() +
                             QStringLiteral("QLineEdit{color:%1;}").arg(SkinPaletteColor(SKINCOLOR_DANGER).name()));
        edit->setToolTip(problem);
        return;
    }
    if (!edit->property(kPlainStyle).isValid()) return;
    field->setStyleSheet(edit->property(kPlainStyle).toString());
    edit->setToolTip(edit->property(kPlainTooltip).toString());
    edit->setProperty(kPlainStyle, QVariant());
    edit->setProperty(kPlainTooltip, QVariant());
}

void CTessalyDlg::ShowTrackSourceMenu(int target) {
    m_browseTarget = target;
    CSCMenu menu(this);
    BuildTrackSourceMenu(menu);
    if (const int chosen = ChoosePopup(menu, target == 1 ? IDC_PAGE1_TRACK1_BROWSE : IDC_PAGE1_TRACK2_BROWSE))
        OpenTrackSource(m_browseTarget, chosen);
}

void CTessalyDlg::BuildTrackSourceMenu(CSCMenu& menu) {
    menu.AppendMenu(CSCMenu::MF_STRING, kMenuLibrary, QStringLiteral("My Library"));
    menu.AppendMenu(CSCMenu::MF_SEPARATOR);
    menu.AppendMenu(CSCMenu::MF_STRING, kMenuComputer, QStringLiteral("My Computer"));
    menu.AppendMenu(CSCMenu::MF_SEPARATOR);
    menu.AppendMenu(CSCMenu::MF_STRING, kMenuRecording, QStringLiteral("My Recording"));
    // Line icons in the skin's style and colours.
    menu.SetMenuItemIcon(kMenuLibrary, LoadMenuIcon(IDI_MENU_LIBRARY));
    menu.SetMenuItemIcon(kMenuComputer, LoadMenuIcon(IDI_MENU_COMPUTER));
    menu.SetMenuItemIcon(kMenuRecording, LoadMenuIcon(IDI_MENU_RECORDING));
    const QIcon driveIcon = LoadMenuIcon(IDI_MENU_CD_DRIVE);

    m_cdDrives.clear();
    int id = kMenuFirstCd;
    for (const QString& drive : ListCdDrives()) {
        if (id > kMenuLastCd) break;
        if (id == kMenuFirstCd) menu.InsertMenu(5, CSCMenu::MF_SEPARATOR);
        const int number = id - kMenuFirstCd + 1;
        const qsizetype tracks = ListCdTracks(drive).size();
        if (tracks > 0)
            menu.AppendMenu(CSCMenu::MF_STRING, id,
                            QStringLiteral("CD Drive %1 [%2 Audio Track(s)]").arg(number).arg(tracks));
        else
            menu.AppendMenu(CSCMenu::MF_GRAYED, id, QStringLiteral("CD Drive %1 [No Audio Tracks]").arg(number));
        menu.SetMenuItemIcon(id, driveIcon);
        m_cdDrives.push_back(drive.toStdString());
        ++id;
    }
}

void CTessalyDlg::OpenTrackSource(int target, int menuId) {
    m_browseTarget = target;
    QString path;
    if (menuId >= kMenuFirstCd && menuId <= kMenuLastCd) {
        const size_t index = static_cast<size_t>(menuId - kMenuFirstCd);
        if (index >= m_cdDrives.size()) return;
        const QString drive = QString::fromStdString(m_cdDrives[index]);
        const QStringList tracks = ListCdTracks(drive);
        if (tracks.isEmpty()) return;
        const QString track =
            m_cdTrackDialog ? m_cdTrackDialog(this, drive, tracks) : ChooseCdTrack(this, drive, tracks);
        if (track.isEmpty()) return;
        path = drive + QLatin1Char('/') + track;
    } else {
        QString folder;
        if (menuId == kMenuLibrary) {
            folder = DocumentsFolder() + QStringLiteral("/My Library");
            QDir().mkpath(folder);
        } else if (menuId == kMenuComputer) {
            folder = QString::fromStdString(GetProfileString("General", "LastComputerFolder", ""));
            if (folder.isEmpty()) folder = DocumentsFolder();
        } else if (menuId == kMenuRecording) {
            folder = m_recordingsFolder;
        } else {
            return;
        }
        const QString filter = SupportedFilesFilter();
        path = m_openFileDialog ? m_openFileDialog(this, folder, filter) : OpenWithQt(this, folder, filter);
        if (path.isEmpty()) return;
        if (menuId == kMenuComputer)
            WriteProfileString("General", "LastComputerFolder", QFileInfo(path).absolutePath().toStdString());
    }
    ChooseTrackFile(target, path);
}

void CTessalyDlg::Record() {
    // The recorder and the editor's preview share the player.
    if (CWaveFormKel* wave = WaveEditor()) wave->StopPlayback();
    CRecorderDlg recorder(this, m_recordingsFolder.toStdString());
    recorder.SetEngines(&m_app.Micro(), &m_app.Player());
    m_app.Micro().SetClient(&recorder);
    m_app.Player().SetClient(&recorder);
    const int result = recorder.exec();
    m_app.Micro().SetClient(nullptr);
    m_app.Player().SetClient(nullptr);
    if (result != CRecorderDlg::kSavedAndImport || recorder.SavedPath().isEmpty()) return;
    const bool toTrack1 = m_track1.path.empty() || !m_track2.path.empty();
    SetTrackPath(toTrack1 ? 1 : 2, recorder.SavedPath());
    RefreshTrackEdits();
}
