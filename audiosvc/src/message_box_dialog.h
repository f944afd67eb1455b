// CMessageBoxDlg: the library's own message dialog, a skinned dialog drawn as a card with
// its caption in a bar. It sizes itself to its text and caption and places its buttons by
// the message type (see LayoutMessageBox).
#pragma once

#include <QIcon>

#include "audiosvc/audiosvc.h"
#include "skin/dialog.h"

class QKeyEvent;

class CMessageBoxDlg : public CSCScaleDialog {
    Q_OBJECT

public:
    // icon null: the icon is chosen by type.
    CMessageBoxDlg(uint32_t type, const QString& caption, const QString& text, const QIcon* icon,
                   QWidget* parent = nullptr);

    // Escape and closing the window end the dialog with IDCANCEL.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    MessageBoxLayout layout_;
};
