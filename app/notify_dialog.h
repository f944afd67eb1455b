// The one-time hints. Everything here belongs to the user-interface thread.
#pragma once

#include <optional>
#include <string>

#include "app/skin_dialog.h"

// A one-time hint ("NOTIFY_REC", "NOTIFY_BT": the hint is drawn by the section's panel).
// OK stores whether "Don't show this message again" was ticked.
class CNotifyDlg : public CSkinDialog {
    Q_OBJECT
public:
    CNotifyDlg(const std::string& section, QWidget* parent);
    ~CNotifyDlg() override;

protected:
    std::optional<int> OnInitDialog() override;
    bool OnCommand(int commandId, int code) override;
};

// Shows the hint of that section unless the user asked not to see it again; returns the
// dialog's result, or 0 when it was not shown.
int ShowNotify(const std::string& section, QWidget* parent);
