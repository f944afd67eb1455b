// CSCScaleDialog: a frameless dialog drawn by its panels.
#pragma once

#include <QDialog>
#include <QFont>
#include <QPointer>
#include <QRegion>

#include "skin/buttons.h"

// A skinned dialog: frameless, drawn entirely by its panels, in the skin's window font.
// Its shape is a window region (SetWindowRgn), so rounded corners need no compositor; Enter
// triggers the default button; Escape and closing the window end it with 2 (IDCANCEL), as
// the system's dialogs do. Unless moved before, it opens centred on its parent's window, or
// on the screen when that is hidden, minimised or absent.
class CSCScaleDialog : public QDialog {
    Q_OBJECT
public:
    explicit CSCScaleDialog(QWidget* parent = nullptr);
    ~CSCScaleDialog() override;

    // The skin's caption font (for measuring a caption against the dialog's width).
    QFont GetCaptionFont() const;
    void SetWindowRgn(const QRegion& region);
    // Lets the user resize the window from its edges and corners (between its minimum and
    // maximum sizes) and maximise it by double-clicking a caption bar.
    void SetResizable(bool resizable);
    bool IsResizable() const { return m_resizable; }
    // Where the dialog opens: centred on its parent's window when that is shown, else on
    // the screen; inside the screen's free area.
    QRect OpeningGeometry() const;
    void setVisible(bool visible) override;
    // The button Enter and Return click when the focus is not in a multi-line text.
    void SetDefaultButton(CSCButton* button) { m_defaultButton = button; }
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The pixels the shape leaves half covered blend with the skin's surface colour.
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<CSCButton> m_defaultButton;
    bool m_resizable = false;
};
