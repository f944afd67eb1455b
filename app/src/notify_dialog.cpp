// CNotifyDlg: a one-time hint with a box to suppress it.
#include "app/notify_dialog.h"

#include "app/control_tables.h"
#include "app/settings.h"
#include "audiosvc/audiosvc.h"
#include "skin/skin.h"

CNotifyDlg::CNotifyDlg(const std::string& section, QWidget* parent) : CSkinDialog(parent, kNotifyControls, section) {}

CNotifyDlg::~CNotifyDlg() = default;

std::optional<int> CNotifyDlg::OnInitDialog() {
    if (const std::optional<int> ended = CSkinDialog::OnInitDialog()) return ended;
    SetDefaultButton(Control<CSCButton>(IDC_NOTIFY_OK));
    return std::nullopt;
}

bool CNotifyDlg::OnCommand(int commandId, int) {
    if (commandId != IDC_NOTIFY_OK) return false;
    const auto* dontShow = Control<CSCButton>(IDC_NOTIFY_DONT_SHOW);
    WriteProfileInt(kNotifiedSection, m_skin.GetSectionName(), dontShow != nullptr && dontShow->GetCheck() ? 1 : 0);
    done(IDOK);
    return true;
}

int ShowNotify(const std::string& section, QWidget* parent) {
    if (GetProfileInt(kNotifiedSection, section, 0) != 0) return 0;
    CNotifyDlg dialog(section, parent);
    return dialog.exec();
}
