// CTessalyApp: the application object, its start-up routine and the effect tree build.
#include "app/tessaly_app.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <QUrl>

#include <cstdlib>

#include "app/main_window.h"
#include "app/message_dialog.h"
#include "app/skin_list.h"
#include "app/system_message_box.h"
#include "app/waveform_editor.h"
#include "audiosvc/audiosvc.h"
#include "contracts/effect_tree_api.h"
#include "skin/skin_manager.h"
#include "xml/xml.h"

namespace {

bool CloseAfterStart() { return std::getenv(CTessalyApp::kCloseAfterStartVariable) != nullptr; }

}  // namespace

CTessalyApp::CTessalyApp() = default;

CTessalyApp::~CTessalyApp() {
    // The volume stage must not point at the tree while the tree goes.
    m_volume.SetEffectTree(nullptr);
}

bool CTessalyApp::InitInstance() {
    // The skin controls ask the process-wide skin manager for colours, fonts and images.
    SetSWQueryInterface(GetSWQueryInterface());
    RegisterWaveFormEditor();

    EnumerateSkins();
    const int index = GetCurrentSkinIndex();
    const SkinInfo skin = GetCurrentSkin();
    const bool indexInList = index >= 0 && index < static_cast<int>(GetSkinList().size());
    if (!indexInList || LoadStandardSkin(skin.path) != 0 || GetSkinXMLRoot() == nullptr) {
        // An automated start-up check learns of the failure from the exit code; the message
        // box closes by itself then instead of waiting for a click.
        if (CloseAfterStart())
            QTimer::singleShot(0, [] {
                if (QWidget* box = QApplication::activeModalWidget()) box->close();
            });
        ShowSystemMessageBox(QStringLiteral("Can't load skin ") + QString::fromStdString(skin.path), MB_OK, {},
                             nullptr);
        m_startFailed = true;
        return false;
    }
    InstallSkinnedMessageBox();

    CTessalyDlg window(*this);
    // The files open once the window runs, so that a refused one is reported over it.
    if (!m_startFiles.isEmpty())
        QTimer::singleShot(0, &window, [&window, files = m_startFiles] { window.OpenStartFiles(files); });
    if (CloseAfterStart()) QTimer::singleShot(0, &window, [&window] { window.done(1); });
    if (window.exec() == kResultNewProject) m_restart = true;
    m_startFailed = !window.LaidOut();
    return false;
}

int CTessalyApp::ExitInstance() {
    if (m_startFailed) return 1;
    if (!m_restart) return 0;
    // A new project starts empty: the files of this run's command line are not passed on.
    const QString program = QCoreApplication::applicationFilePath();
    const bool started = m_relaunch ? m_relaunch(program, {}) : QProcess::startDetached(program, {});
    return started ? 0 : 1;
}

QStringList CTessalyApp::StartFilesFrom(const QStringList& arguments) {
    QStringList files;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument.isEmpty()) continue;
        const QUrl address(argument);
        if (address.isLocalFile())
            files.push_back(address.toLocalFile());
        else
            files.push_back(QFileInfo(QDir::current(), argument).absoluteFilePath());
    }
    return files;
}

bool CTessalyApp::BuildEffectTree() {
    if (m_effectTreeBuilt) return m_effectTreeLoaded;
    m_effectTreeBuilt = true;
    GetEffectManager()->Initialize();
    m_volume.SetEffectTree(&m_effectTree);
    enXml document;
    m_effectTreeLoaded = document.LoadFile(SingleEffectsPath()) && m_effectTree.BuildTree(&document, 666);
    return m_effectTreeLoaded;
}
