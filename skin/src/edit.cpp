// CSCEditBox (multi-line), CSCEditBox2 (one line on a picture) and CSCTimeEdit (display).
#include "skin/edits.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include "skin/control_records.h"
#include "skin/control_state.h"
#include "skin/skin_base.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "skin/src/skin_private.h"

using skinui::PaintField;

// ---- CSCEditBox ---------------------------------------------------------------------------

CSCEditBox::CSCEditBox(QWidget* parent, int windowId, uint32_t style)
    : CSkinBase(parent, windowId, style), m_edit(new QPlainTextEdit(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 4, 6);
    layout->addWidget(m_edit);
    m_edit->setFrameShape(QFrame::NoFrame);
    m_edit->setVerticalScrollBarPolicy((style & WS_VSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    m_edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // its lines wrap
    m_edit->setReadOnly((style & ES_READONLY) != 0);
    m_edit->setTabChangesFocus(true);
    m_edit->installEventFilter(this);
    setFocusProxy(m_edit);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_edit, &QPlainTextEdit::textChanged, this, [this] {
        if (m_settingText) return;
        m_text = m_edit->toPlainText();
        NotifyParent(SCN_CHANGE);
    });
    ApplyColors();
}

CSCEditBox::~CSCEditBox() = default;

bool CSCEditBox::UseCustomSkin(const void* record) {
    const auto* res = skinui::RecordAs<SCEDITRES>(record);
    if (!res) return false;
    m_textColor = ToQColor(res->textColor);
    m_bkColor = ToQColor(res->bkColor);
    ApplyColors();
    SetSkinned(true);
    update();
    return true;
}

QString CSCEditBox::GetWindowText() const { return m_edit->toPlainText(); }

void CSCEditBox::SetReadOnly(bool readOnly) { m_edit->setReadOnly(readOnly); }

void CSCEditBox::OnTextChanged() {
    m_settingText = true;
    m_edit->setPlainText(m_text);
    m_settingText = false;
    NotifyParent(SCN_CHANGE);
}

void CSCEditBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor background = skinui::ColorOr(m_bkColor, SKINCOLOR_EDIT_BACKGROUND);
    PaintField(painter, rect(), background, m_edit->hasFocus(), m_hover, !isEnabled());
}

void CSCEditBox::ApplyColors() {
    const QColor background = skinui::ColorOr(m_bkColor, SKINCOLOR_EDIT_BACKGROUND);
    QPalette palette = m_edit->palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, skinui::ColorOr(m_textColor, SKINCOLOR_TEXT));
    palette.setColor(QPalette::Highlight, SkinPaletteColor(SKINCOLOR_SELECTION));
    palette.setColor(QPalette::HighlightedText, SkinPaletteColor(SKINCOLOR_SELECTION_TEXT));
    m_edit->setPalette(palette);
    m_edit->verticalScrollBar()->setStyleSheet(skinui::ScrollingStyleSheet(background));
}

// ---- CSCEditBox2 --------------------------------------------------------------------------

CSCEditBox2::CSCEditBox2(QWidget* parent, int windowId, uint32_t style)
    : CSkinBase(parent, windowId, style), m_edit(new QLineEdit(this)) {
    m_edit->setFrame(false);
    m_edit->setReadOnly((style & ES_READONLY) != 0);
    m_edit->installEventFilter(this);
    setFocusProxy(m_edit);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_text = text;
        NotifyParent(SCN_CHANGE);
    });
    connect(m_edit, &QLineEdit::textEdited, this, [this] { m_edited = true; });
    connect(m_edit, &QLineEdit::returnPressed, this, [this] {
        m_edited = false;
        NotifyParent(SCN_COMMIT);
    });
    ApplyColors();
    PlaceEditor();
}

CSCEditBox2::~CSCEditBox2() = default;

bool CSCEditBox2::UseCustomSkin(const void* record) {
    const auto* res = skinui::RecordAs<SCEDIT2RES>(record);
    if (!res) return false;
    m_textColor = ToQColor(res->textColor);
    const RECT& t = res->textMargin;
    m_textMargin = QMargins(t.left, t.top, t.right, t.bottom);
    m_hasTextMargin = !m_textMargin.isNull();
    ApplyColors();
    PlaceEditor();
    const bool loaded = m_source.LoadFromHandle(res->source);
    if (loaded) {
        const RECT& s = res->sourceMargin;
        m_source.SetMargins(QMargins(s.left, s.top, s.right, s.bottom));
        m_source.SetTiled(res->tile != 0);
    }
    SetSkinned(loaded);
    update();
    return loaded;
}

QString CSCEditBox2::GetWindowText() const { return m_edit->text(); }
void CSCEditBox2::SetCueBanner(const QString& text) { m_edit->setPlaceholderText(text); }
void CSCEditBox2::SetReadOnly(bool readOnly) { m_edit->setReadOnly(readOnly); }
bool CSCEditBox2::IsReadOnly() const { return m_edit->isReadOnly(); }

void CSCEditBox2::SetSel(int start, int end) {
    if (end < 0)
        m_edit->selectAll();
    else
        m_edit->setSelection(start, std::max(0, end - start));
}

void CSCEditBox2::OnTextChanged() {
    // The change notification comes from the editor itself, as for a typed change.
    m_edited = false;
    if (m_edit->text() != m_text) m_edit->setText(m_text);
}

void CSCEditBox2::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    SkinState state = CurrentState();
    state.focused = m_edit->hasFocus();
    if (IsSkinned()) {
        m_source.DrawFrame(painter, rect(), PickFieldFrame(m_source.GetFrameCount(), state));
        return;
    }
    PaintField(painter, rect(), SkinPaletteColor(SKINCOLOR_EDIT_BACKGROUND), state.focused, state.hover,
               state.disabled);
}

void CSCEditBox2::resizeEvent(QResizeEvent* event) {
    CSkinBase::resizeEvent(event);
    PlaceEditor();
}

bool CSCEditBox2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edit && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        update();
        if (event->type() == QEvent::FocusOut && m_edited) {
            m_edited = false;
            NotifyParent(SCN_COMMIT);
        }
    }
    return CSkinBase::eventFilter(watched, event);
}

void CSCEditBox2::PlaceEditor() {
    if (m_hasTextMargin) {
        m_edit->setGeometry(rect().marginsRemoved(m_textMargin));
        return;
    }
    const int lineHeight = std::min(height(), m_edit->sizeHint().height());
    m_edit->setGeometry(12, (height() - lineHeight) / 2, std::max(0, width() - 24), lineHeight);
}

void CSCEditBox2::ApplyColors() {
    const QColor text = skinui::ColorOr(m_textColor, SKINCOLOR_EDIT_TEXT);
    m_edit->setStyleSheet(QStringLiteral("QLineEdit{background:transparent;border:none;padding:0;color:%1;"
                                         "selection-background-color:%2;selection-color:%3;}"
                                         "QLineEdit:disabled{color:%4;}")
                              .arg(text.name(), SkinPaletteColor(SKINCOLOR_SELECTION).name(),
                                   SkinPaletteColor(SKINCOLOR_SELECTION_TEXT).name(),
                                   SkinPaletteColor(SKINCOLOR_DISABLED_TEXT).name()));
    QPalette palette = m_edit->palette();
    palette.setColor(QPalette::PlaceholderText, SkinPaletteColor(SKINCOLOR_TEXT_SECONDARY));
    m_edit->setPalette(palette);
}

// ---- CSCTimeEdit --------------------------------------------------------------------------

CSCTimeEdit::CSCTimeEdit(QWidget* parent, int windowId, uint32_t style) : CSkinBase(parent, windowId, style) {
    setFocusPolicy(Qt::NoFocus);
}

CSCTimeEdit::~CSCTimeEdit() = default;

bool CSCTimeEdit::UseCustomSkin(const void* record) {
    const auto* res = skinui::RecordAs<SCEDITRES>(record);
    if (!res) return false;
    m_textColor = ToQColor(res->textColor);
    m_bkColor = ToQColor(res->bkColor);
    SetSkinned(true);
    update();
    return true;
}

void CSCTimeEdit::SetMargins(int left, int top, int right, int bottom) {
    m_margins = QMargins(left, top, right, bottom);
    updateGeometry();
    update();
}

QSize CSCTimeEdit::sizeHint() const {
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(m_text.isEmpty() ? QStringLiteral("00:00:00.000") : m_text),
                 metrics.height())
        .grownBy(m_margins);
}

void CSCTimeEdit::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_bkColor.isValid()) painter.fillRect(rect(), m_bkColor);
    painter.setPen(isEnabled() ? skinui::ColorOr(m_textColor, SKINCOLOR_TEXT)
                               : SkinPaletteColor(SKINCOLOR_DISABLED_TEXT));
    painter.setFont(font());
    painter.drawText(rect().marginsRemoved(m_margins), Qt::AlignLeft | Qt::AlignVCenter, m_text);
}
