// CSCButton: push and check buttons.
#pragma once

#include <QColor>
#include <QIcon>
#include <QSize>

#include "skin/control_records.h"
#include "skin/control_state.h"
#include "skin/data_source.h"
#include "skin/skin_base.h"

class enXml;

// Push button, or check button with BS_AUTOCHECKBOX. Space and Enter activate it; a check
// button toggles before it reports SCN_CLICKED. With a caption, the Source picture is the
// button's background (Glyph="Fill", default) or a box drawn left of the caption
// (Glyph="Left"). An Icon is painted in the text colour, left of the caption (right of it
// with IconPosition="Right").
class CSCButton : public CSkinBase {
    Q_OBJECT
public:
    CSCButton(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCButton() override;

    bool UseCustomSkin(const void* record) override;
    void ApplyElement(const enXml& element) override;
    bool IsCheckBox() const { return (GetStyle() & BS_AUTOCHECKBOX) == BS_AUTOCHECKBOX; }
    void SetCheck(int checked);  // 0 or 1; no notification
    int GetCheck() const { return m_checked ? 1 : 0; }
    void SetIcon(const QIcon& icon, const QSize& size = {});
    // A drop-down button shows a chevron right of its caption.
    void SetDropDown(bool dropDown);
    bool IsDropDown() const { return m_dropDown; }
    void SetGlyphLeft(bool left);
    // Puts the icon right of the caption (a "next" arrow) instead of left of it.
    void SetIconRight(bool right);
    // Presses and releases the button as a click would.
    void Click();
    CDataSource& GetDataSource() { return m_source; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void PaintFallback(QPainter& painter, const SkinState& state) const;
    void PaintContent(QPainter& painter, const QRect& area, const QColor& color) const;
    CDataSource m_source;
    QColor m_textColor;
    QIcon m_icon;
    QSize m_iconSize{18, 18};
    bool m_checked = false;
    bool m_pressed = false;
    bool m_spacePressed = false;
    bool m_dropDown = false;
    bool m_glyphLeft = false;
    bool m_iconRight = false;
    Qt::Alignment m_textAlign = Qt::AlignCenter;
};
