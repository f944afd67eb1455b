// CSkinBase: what every skinned control is.
#pragma once

#include <cstdint>

#include <QString>
#include <QWidget>

#include "skin/control_state.h"

class enXml;
class QPainter;

// A skinned control: a QWidget with a window id that reports commands to its window. It
// paints itself from its skin record and falls back to a plain look drawn from the palette
// when it has none (or its images cannot be read), staying fully usable.
class CSkinBase : public QWidget {
    Q_OBJECT
public:
    CSkinBase(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSkinBase() override;

    QWidget* GetWnd() { return this; }
    int GetWindowId() const { return m_windowId; }
    uint32_t GetStyle() const { return m_style; }
    // Takes the kind's resource record; false when the record is not this control's (wrong
    // size) or its required image cannot be read (the control then stays unskinned).
    virtual bool UseCustomSkin(const void* record);
    bool IsSkinned() const { return m_skinned; }
    // Tooltip; a title, when given, is shown in bold above the text.
    virtual void SetTooltip(const QString& text, const QString& title = {});
    // The window text: a button's caption, an edit's content, a static's text.
    virtual void SetWindowText(const QString& text);
    virtual QString GetWindowText() const { return m_text; }
    // Presentation attributes of the control's skin element that the placing panel applies
    // after placing it (Text, LogFont, Icon, ... see data/Skins/README.md).
    virtual void ApplyElement(const enXml& element);
    // Called by the window once every control of its skin exists (the "skin applied"
    // message); controls that depend on their neighbours may finish their setup here.
    virtual void OnSkinApplied() {}
    // Reports a notification to the window: emits command(GetWindowId(), code).
    void NotifyParent(int code);
    // Whether the keyboard focus ring is showing (focus that came by keyboard or program).
    bool IsFocusVisible() const;
    // Whether the control's last focus came by keyboard or program (also while its window is
    // not active).
    bool FocusCameByKeyboard() const { return m_keyboardFocus; }
    // Takes the keyboard focus, with or without showing the ring (a program's move of the
    // focus follows what the user did last: the keyboard shows the ring, a click does not).
    void TakeFocus(bool showRing);

signals:
    void command(int id, int code);
    void scroll(int id, int request, int position);

protected:
    bool event(QEvent* event) override;
    // Keys without modifiers that the control handles itself while it has the focus, taken
    // before the window's shortcuts (a slider's arrows, Home and End).
    virtual bool OwnsKey(int) const { return false; }
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Called after the window text changed.
    virtual void OnTextChanged() { update(); }
    SkinState CurrentState() const;
    // A rounded focus ring inside rect, in the palette's focus colour.
    void DrawFocusRing(QPainter& painter, const QRectF& rect, qreal radius) const;
    void SetSkinned(bool skinned) { m_skinned = skinned; }

    bool m_hover = false;
    QString m_text;

private:
    int m_windowId;
    uint32_t m_style;
    bool m_skinned = false;
    bool m_keyboardFocus = false;
    bool m_focusKnown = false;  // the control had the focus before
};
