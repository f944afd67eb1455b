// The about box. Everything here belongs to the user-interface thread.
#pragma once

#include <optional>

#include "app/skin_dialog.h"

// The about box: General, Computer and Copyrights tabs; the computer information can be
// copied to the clipboard.
class CAboutDlg : public CSkinDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent);
    ~CAboutDlg() override;

protected:
    std::optional<int> OnInitDialog() override;
    bool OnCommand(int commandId, int code) override;

private:
    void ShowTab(int tabCommand);
    void CopyComputerInfo();
};
