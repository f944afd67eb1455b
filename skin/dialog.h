// CSCScaleDialog: a frameless dialog drawn by its panels.
#pragma once

#include <QDialog>
#include <QFont>
#include <QPointer>
#include <QRegion>

#include "skin/buttons.h"

// A skinned dialog: frameless, drawn entirely by its panels, in the skin's window font.
// Its shape is a window region (SetWindowRgn); Enter triggers the default button; Escape
// and closing the window end it with 2 (IDCANCEL), as the system's dialogs do.
class CSCScaleDialog : public QDialog {
    Q_OBJECT
public:
    explicit CSCScaleDialog(QWidget* parent = nullptr);
    ~CSCScaleDialog() override;

    // The skin's caption font (for measuring a caption against the dialog's width).
    QFont GetCaptionFont() const;
    void SetWindowRgn(const QRegion& region);
    // The button Enter and Return click when the focus is not in a multi-line text.
    void SetDefaultButton(CSCButton* button) { m_defaultButton = button; }
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPointer<CSCButton> m_defaultButton;
};
