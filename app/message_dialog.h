// The skinned message dialog and its registration as the audio service library's message box.
// Threads: the dialog belongs to the user-interface thread; SkinnedMessageBox may be called
// from any thread and hands the message to the user-interface thread.
#pragma once

#include <QIcon>
#include <QString>

#include <cstdint>
#include <optional>

#include "app/skin_dialog.h"

// The message dialog, the program's replacement of the system message box. Types 0 (OK) use
// the MESSAGEBOX_1BTN section; 1 (OK/Cancel), 4 (Yes/No), 5 (Retry/Cancel), 9 (Open
// Folder/OK) and 10 (Open Page/OK) MESSAGEBOX_2BTN; any other type is shown by the system
// message box. The dialog grows with its text.
class CMessageDlg : public CSkinDialog {
    Q_OBJECT
public:
    // An empty caption gives the application's name.
    CMessageDlg(const QString& text, uint32_t type, const QString& caption, QWidget* parent);
    ~CMessageDlg() override;
    int exec() override;
    // Escape and closing the window give the type's cancel answer.
    void reject() override;

protected:
    std::optional<int> OnInitDialog() override;
    void OnSkinLoaded() override;
    bool OnCommand(int commandId, int code) override;

private:
    QString m_text;
    QString m_caption;
    uint32_t m_type;
    QIcon m_icon;
};

// The replacement registered with audiosvc (ReplaceSCMessageBox): runs CMessageDlg on the
// user-interface thread and returns its result.
int SkinnedMessageBox(const char* text, uint32_t type, const char* caption, QWidget* parent);
// Registers SkinnedMessageBox as the message box of the audio service library.
void InstallSkinnedMessageBox();
