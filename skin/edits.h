// Edits: the multi-line text box, the one-line edit on an image and the time display.
#pragma once

#include <QColor>
#include <QMargins>
#include <QString>

#include "skin/control_records.h"
#include "skin/data_source.h"
#include "skin/skin_base.h"

class QLineEdit;
class QPlainTextEdit;

// Multi-line text box with a vertical scroll bar (kind 5).
class CSCEditBox : public CSkinBase {
    Q_OBJECT
public:
    CSCEditBox(QWidget* parent, int windowId, uint32_t style = ES_MULTILINE | WS_VSCROLL);
    ~CSCEditBox() override;

    bool UseCustomSkin(const void* record) override;
    QString GetWindowText() const override;
    void SetReadOnly(bool readOnly);
    QPlainTextEdit* Editor() const { return m_edit; }

protected:
    void OnTextChanged() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void ApplyColors();
    QPlainTextEdit* m_edit;
    QColor m_textColor, m_bkColor;
    bool m_settingText = false;
};

// One-line edit on an image (kind 16): the picture's frames show normal, hover, focused and
// disabled; the text sits inside TextMargin. Text changes report SCN_CHANGE; Enter, or
// leaving the field after editing it, reports SCN_COMMIT once per entry.
class CSCEditBox2 : public CSkinBase {
    Q_OBJECT
public:
    CSCEditBox2(QWidget* parent, int windowId, uint32_t style = ES_MULTILINE | ES_AUTOHSCROLL);
    ~CSCEditBox2() override;

    bool UseCustomSkin(const void* record) override;
    QString GetWindowText() const override;
    void SetCueBanner(const QString& text);
    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const;
    void SetSel(int start, int end);  // (0, -1) selects everything
    QLineEdit* Editor() const { return m_edit; }
    CDataSource& GetDataSource() { return m_source; }

protected:
    void OnTextChanged() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PlaceEditor();
    void ApplyColors();
    QLineEdit* m_edit;
    CDataSource m_source;
    QColor m_textColor;
    QMargins m_textMargin;
    bool m_hasTextMargin = false;
    bool m_edited = false;
};

// A read-only time display with inner margins (kind 9).
class CSCTimeEdit : public CSkinBase {
    Q_OBJECT
public:
    CSCTimeEdit(QWidget* parent, int windowId, uint32_t style = ES_READONLY);
    ~CSCTimeEdit() override;

    bool UseCustomSkin(const void* record) override;
    void SetMargins(int left, int top, int right, int bottom);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_textColor, m_bkColor;
    QMargins m_margins{4, 2, 4, 2};
};
