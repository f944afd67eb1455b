// CTessalyApp: the application object, its start-up routine and the effect tree build.
#include "app/tessaly_app.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProcess>
#include <QTimer>

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
    if (CloseAfterStart()) QTimer::singleShot(0, &window, [&window] { window.done(1); });
    if (window.exec() == kResultNewProject) m_restart = true;
    m_startFailed = !window.LaidOut();
    return false;
}

int CTessalyApp::ExitInstance() {
    if (m_startFailed) return 1;
    if (m_restart && !QProcess::startDetached(QCoreApplication::applicationFilePath(), {})) return 1;
    return 0;
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
