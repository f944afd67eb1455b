// CSCHtmlStatic (rich text with working links) and CSCHtmlBrowser (local pages only).
#include "skin/statics.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "skin/control_records.h"
#include "skin/skin_base.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "skin/src/skin_private.h"
#include "xml/xml.h"

namespace {

QVBoxLayout* FillLayout(QWidget* owner) {
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

// A local file behind an address, or "" when the address is remote or names no readable file.
QString LocalFile(const QString& address) {
    if (address.isEmpty()) return {};
    const QUrl url(address);
    QString path = address;
    if (url.isLocalFile())
        path = url.toLocalFile();
    else if (url.scheme().size() > 1)
        return {};  // http, https, ftp, ...: never fetched
    const QFileInfo info(path);
    return info.isFile() && info.isReadable() ? info.absoluteFilePath() : QString();
}

}  // namespace

// ---- CSCHtmlStatic ------------------------------------------------------------------------

CSCHtmlStatic::CSCHtmlStatic(QWidget* parent, int windowId, uint32_t style)
    : CSkinBase(parent, windowId, style), m_label(new QLabel(this)) {
    FillLayout(this)->addWidget(m_label);
    m_label->setTextFormat(Qt::RichText);
    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label->setOpenExternalLinks(true);
    m_label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    m_label->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::NoFocus);
    ApplyColors();
}

CSCHtmlStatic::~CSCHtmlStatic() = default;

bool CSCHtmlStatic::UseCustomSkin(const void* record) {
    const auto* res = skinui::RecordAs<SCSTATICRES>(record);
    if (!res) return false;
    m_textColor = ToQColor(res->textColor);
    m_disabledColor = ToQColor(res->textColor2);
    if (res->hasFont && res->font.lfFaceName[0] != '\0') setFont(ToQFont(res->font, font()));
    ApplyColors();
    SetSkinned(true);
    return true;
}

void CSCHtmlStatic::ApplyElement(const enXml& element) {
    CSkinBase::ApplyElement(element);
    Qt::Alignment alignment = m_label->alignment();
    if (skinui::ReadHorizontalAlign(element, "TextAlign", alignment)) m_label->setAlignment(alignment);
}

void CSCHtmlStatic::OnTextChanged() {
    m_label->setText(m_text);
    // Tab stops only at text with links to follow.
    m_label->setFocusPolicy(m_text.contains(QStringLiteral("<a "), Qt::CaseInsensitive) ? Qt::StrongFocus
                                                                                        : Qt::NoFocus);
}

void CSCHtmlStatic::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) ApplyColors();
    CSkinBase::changeEvent(event);
}

void CSCHtmlStatic::ApplyColors() {
    QPalette palette = m_label->palette();
    const QColor text = skinui::ColorOr(m_textColor, SKINCOLOR_TEXT);
    const QColor disabled = skinui::ColorOr(m_disabledColor, SKINCOLOR_DISABLED_TEXT);
    palette.setColor(QPalette::Active, QPalette::WindowText, text);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, text);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    palette.setColor(QPalette::Link, SkinPaletteColor(SKINCOLOR_LINK));
    m_label->setPalette(palette);
}

// ---- CSCHtmlBrowser -----------------------------------------------------------------------

CSCHtmlBrowser::CSCHtmlBrowser(QWidget* parent, int windowId, uint32_t style)
    : CSkinBase(parent, windowId, style), m_browser(new QTextBrowser(this)) {
    FillLayout(this)->addWidget(m_browser);
    layout()->setContentsMargins(3, 3, 3, 3);  // room for the focus ring
    m_browser->setFrameShape(QFrame::NoFrame);
    m_browser->installEventFilter(this);
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);
    setFocusProxy(m_browser);
    QPalette palette = m_browser->palette();
    palette.setColor(QPalette::Base, SkinPaletteColor(SKINCOLOR_SURFACE));
    palette.setColor(QPalette::Text, SkinPaletteColor(SKINCOLOR_TEXT));
    palette.setColor(QPalette::Link, SkinPaletteColor(SKINCOLOR_LINK));
    m_browser->setPalette(palette);
    m_browser->setStyleSheet(skinui::ScrollingStyleSheet(SkinPaletteColor(SKINCOLOR_SURFACE)));
    connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        const QUrl target = m_browser->source().isEmpty() ? link : m_browser->source().resolved(link);
        const QString local = LocalFile(target.toString());
        if (!local.isEmpty())
            m_browser->setSource(QUrl::fromLocalFile(local));
        else if (!target.isLocalFile() && !target.isRelative())
            QDesktopServices::openUrl(target);
    });
}

CSCHtmlBrowser::~CSCHtmlBrowser() = default;

void CSCHtmlBrowser::InitHtml(int) { m_browser->clear(); }

bool CSCHtmlBrowser::Navigate(const QString& address, const QString& fallback) {
    for (const QString& candidate : {address, fallback}) {
        const QString local = LocalFile(candidate);
        if (local.isEmpty()) continue;
        m_browser->setSource(QUrl::fromLocalFile(local));
        return true;
    }
    m_browser->clear();
    return false;
}

QString CSCHtmlBrowser::GetCurrentAddress() const { return m_browser->source().toString(); }

void CSCHtmlBrowser::OnTextChanged() { m_browser->setHtml(m_text); }

void CSCHtmlBrowser::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), SkinPaletteColor(SKINCOLOR_SURFACE));
    if (m_browser->hasFocus()) DrawFocusRing(painter, rect(), 6);
}

bool CSCHtmlBrowser::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_browser && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) update();
    // Tab passes the view as one stop instead of walking its links, so it never holds the
    // focus.
    if (watched == m_browser && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            focusNextPrevChild(key == Qt::Key_Tab);
            return true;
        }
    }
    return CSkinBase::eventFilter(watched, event);
}
