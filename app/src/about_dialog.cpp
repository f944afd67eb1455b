// CAboutDlg: the program's version, the computer's description and the copyrights.
#include "app/about_dialog.h"

#include <QClipboard>
#include <QGuiApplication>

#include <array>

#include "app/computer_info.h"
#include "app/control_tables.h"
#include "app/program.h"
#include "app/resources.h"
#include "audiosvc/audiosvc.h"
#include "skin/buttons.h"
#include "skin/edits.h"
#include "skin/skin_base.h"
#include "skin/statics.h"

namespace {

// Each tab and the information control it shows.
struct Tab {
    int button;
    int information;
};
constexpr std::array<Tab, 3> kTabs{{
    {IDC_ABOUT_GENERAL, IDC_ABOUT_GENERAL_INFO},
    {IDC_ABOUT_COMPUTER, IDC_ABOUT_COMPUTER_INFO},
    {IDC_ABOUT_COPYRIGHT, IDC_ABOUT_COPYRIGHT_INFO},
}};

constexpr char kCopyrightsPage[] = "plugins/info/copyrights/index.html";

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : CSkinDialog(parent, kAboutControls, "ABOUT") {}

CAboutDlg::~CAboutDlg() = default;

std::optional<int> CAboutDlg::OnInitDialog() {
    if (const std::optional<int> ended = CSkinDialog::OnInitDialog()) return ended;
    if (CSkinBase* general = m_skin.GetControl(IDC_ABOUT_GENERAL_INFO)) {
        const QString home = QString::fromUtf8(kMakerHomePage);
        general->SetWindowText(LoadString(IDS_ABOUT_GENERAL)
                                   .arg(QString::fromUtf8(kProgramVersion), QStringLiteral(__DATE__), home, home));
    }
    if (auto* copyrights = Control<CSCHtmlBrowser>(IDC_ABOUT_COPYRIGHT_INFO)) {
        copyrights->InitHtml(5);
        copyrights->Navigate(QString::fromStdString(ProgramRelativePath(kCopyrightsPage)));
    }
    if (auto* computer = Control<CSCEditBox>(IDC_ABOUT_COMPUTER_INFO)) {
        computer->SetReadOnly(true);
        computer->SetWindowText(GetCompInfo());
    }
    ShowTab(IDC_ABOUT_GENERAL);
    SetDefaultButton(Control<CSCButton>(IDC_ABOUT_OK));
    return std::nullopt;
}

void CAboutDlg::ShowTab(int tabCommand) {
    for (const Tab& tab : kTabs) {
        const bool shown = tab.button == tabCommand;
        if (auto* button = Control<CSCButton>(tab.button)) button->SetCheck(shown ? 1 : 0);
        if (CSkinBase* information = m_skin.GetControl(tab.information)) information->setVisible(shown);
    }
    if (CSkinBase* copy = m_skin.GetControl(IDC_ABOUT_COPY)) copy->setEnabled(tabCommand == IDC_ABOUT_COMPUTER);
}

void CAboutDlg::CopyComputerInfo() {
    const CSkinBase* computer = m_skin.GetControl(IDC_ABOUT_COMPUTER_INFO);
    if (computer == nullptr) return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(computer->GetWindowText());
}

bool CAboutDlg::OnCommand(int commandId, int) {
    switch (commandId) {
        case IDC_ABOUT_GENERAL:
        case IDC_ABOUT_COMPUTER:
        case IDC_ABOUT_COPYRIGHT: ShowTab(commandId); return true;
        case IDC_ABOUT_COPY: CopyComputerInfo(); return true;
        case IDC_ABOUT_OK: done(IDOK); return true;
        case IDC_ABOUT_CLOSE: reject(); return true;
        default: return false;
    }
}
