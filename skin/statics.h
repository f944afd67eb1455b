// Statics: text or icon (CSCStatic), a link (CSCHyperLinkStatic), rich text (CSCHtmlStatic)
// and a browser for local pages (CSCHtmlBrowser).
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QSize>
#include <QString>

#include "skin/skin_base.h"

class enXml;
class QLabel;
class QTextBrowser;

// Text or icon. The text is drawn with its line breaks; TextAlign, VAlign and WordWrap of the
// element choose its placement. Derived controls (the waveform editor) paint themselves.
class CSCStatic : public CSkinBase {
    Q_OBJECT
public:
    CSCStatic(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCStatic() override;

    bool UseCustomSkin(const void* record) override;
    void ApplyElement(const enXml& element) override;
    // Switches the static to show an icon, centred, instead of its text; a null icon
    // switches back.
    void SetIcon(const QIcon& icon, const QSize& size = QSize(32, 32));
    // The size text would take in this control's font, line breaks counted.
    QSize GetTextExtent(const QString& text) const;
    void SetTextAlignment(Qt::Alignment alignment);
    void SetWordWrap(bool wrap);
    QColor TextColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    QColor m_textColor;
    QColor m_disabledColor;

private:
    QIcon m_icon;
    QSize m_iconSize;
    Qt::Alignment m_align = Qt::AlignLeft | Qt::AlignVCenter;
    bool m_wrap = false;
};

// A link: coloured by state, underlined under the pointer, activated by click, Space or
// Enter. Activation reports SCN_CLICKED and opens the address, when one is set.
class CSCHyperLinkStatic : public CSkinBase {
    Q_OBJECT
public:
    CSCHyperLinkStatic(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCHyperLinkStatic() override;

    bool UseCustomSkin(const void* record) override;
    void SetLink(const QString& url) {
        m_url = url;
        update();
    }
    QString GetLink() const { return m_url; }
    // A transparent link draws no background; otherwise it fills with the surface colour.
    void SetTransparent(bool transparent) {
        m_transparent = transparent;
        update();
    }
    QSize sizeHint() const override;

signals:
    void linkActivated(const QString& url);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Activate();
    QColor m_plain, m_normal, m_focused, m_pressedColor;
    QFont m_font, m_hoverFont;
    bool m_hasFont = false;
    bool m_pressed = false;
    bool m_transparent = true;
    QString m_url;
};

// Rich text (a subset of HTML). Links in it open in the system's browser and are reachable
// with Tab.
class CSCHtmlStatic : public CSkinBase {
    Q_OBJECT
public:
    CSCHtmlStatic(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCHtmlStatic() override;

    bool UseCustomSkin(const void* record) override;
    void ApplyElement(const enXml& element) override;
    QLabel* Label() const { return m_label; }

protected:
    void OnTextChanged() override;
    void changeEvent(QEvent* event) override;

private:
    void ApplyColors();
    QLabel* m_label;
    QColor m_textColor, m_disabledColor;
};

// A browser for local pages and rich text. Addresses other than local files are not loaded;
// links to them open in the system's browser.
class CSCHtmlBrowser : public CSkinBase {
    Q_OBJECT
public:
    CSCHtmlBrowser(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCHtmlBrowser() override;

    // Prepares the view; flags are kept for callers' symmetry and change nothing.
    void InitHtml(int flags);
    // Shows the first of the addresses that is a readable local file (a path or a file://
    // address); an empty view and false when none is.
    bool Navigate(const QString& address, const QString& fallback = {});
    QString GetCurrentAddress() const;
    QTextBrowser* Browser() const { return m_browser; }

protected:
    void OnTextChanged() override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTextBrowser* m_browser;
};
