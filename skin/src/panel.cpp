// CSCScalePanel (background and initial size), CAutoPanel (places controls, draws its
// decorations) and CAutoPanelCaption (a caption bar that moves the window).
#include "skin/panels.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "platform/texts.h"
#include "skin/data_source.h"
#include "skin/dialog.h"
#include "skin/skin_base.h"
#include "skin/skin_manager.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "skin/src/skin_private.h"
#include "skin/src/skin_text.h"
#include "xml/xml.h"

namespace {

// The picture of a panel without a Source: a filled, optionally bordered rounded rectangle
// whose corners stay round at any size.
QByteArray ShapeSvg(const QSize& size, const QColor& fill, const QColor& border, int radius) {
    const int r = std::max(0, radius);
    const int w = std::max(size.width(), 2 * r + 2);
    const int h = std::max(size.height(), 2 * r + 2);
    const QString stroke = border.isValid() ? QStringLiteral("stroke=\"%1\" stroke-width=\"1\"").arg(border.name())
                                            : QStringLiteral("stroke=\"none\"");
    const QString svg =
        QStringLiteral(
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" viewBox=\"0 0 %1 %2\">"
            "<rect id=\"frame0\" x=\"0\" y=\"0\" width=\"%1\" height=\"%2\" fill=\"none\"/>"
            "<rect x=\"0.5\" y=\"0.5\" width=\"%3\" height=\"%4\" rx=\"%5\" fill=\"%6\" %7/>"
            "<rect id=\"stretch\" x=\"%5\" y=\"%5\" width=\"%8\" height=\"%9\" fill=\"none\"/></svg>")
            .arg(w)
            .arg(h)
            .arg(w - 1)
            .arg(h - 1)
            .arg(r)
            .arg(fill.name(), stroke)
            .arg(w - 2 * r)
            .arg(h - 2 * r);
    return svg.toUtf8();
}

bool ReadPlace(const enXml& element, QRect& place) {
    std::string text;
    int32_t v[4];
    if (!element.GetAttribute("Place", text) || !ParseFourInts(text, v) || v[2] < 0 || v[3] < 0) return false;
    place = QRect(v[0], v[1], v[2], v[3]);
    return true;
}

int ReadAnchors(const enXml& element) {
    std::string text;
    element.GetAttribute("Anchor", text);
    return ParseAnchors(text);
}

QFont ReadFont(const enXml& element, const char* attribute, const QFont& fallback) {
    std::string text;
    LOGFONT lf{};
    if (element.GetAttribute(attribute, text) && LoadFont(&lf, text)) return ToQFont(lf, fallback);
    return fallback;
}

}  // namespace

// ---- CSCScalePanel ------------------------------------------------------------------------

CSCScalePanel::CSCScalePanel(QWidget* parent) : QWidget(parent) {}
CSCScalePanel::~CSCScalePanel() = default;

void CSCScalePanel::LoadResources(const enXml* element) {
    m_background.Clear();
    if (!element) {
        m_background.LoadFromData(ShapeSvg(size(), SkinPaletteColor(SKINCOLOR_WINDOW), {}, 0));
        m_initialSize = size();
        update();
        return;
    }
    std::string source;
    if (element->GetAttribute("Source", source) && !source.empty() &&
        m_background.LoadFromFile(skinui::SkinFilePath(source))) {
        std::string text;
        RECT margin{};
        if (element->GetAttribute("SourceMargin", text) && LoadRect(&margin, text))
            m_background.SetMargins(QMargins(margin.left, margin.top, margin.right, margin.bottom));
        m_background.SetTiled(element->GetAttribute("ResizeMethod", text) && skintext::EqualsNoCase(text, "Tile"));
    }
    const QSize natural = m_background.GetFrameSize();
    m_initialSize = QSize(skinui::ReadInt(*element, "Width", natural.isValid() ? natural.width() : width()),
                          skinui::ReadInt(*element, "Height", natural.isValid() ? natural.height() : height()));
    if (!m_background.IsValid()) {
        const QColor fill = skinui::ColorOr(skinui::ReadColor(*element, "BkColor"), SKINCOLOR_WINDOW);
        m_background.LoadFromData(ShapeSvg(m_initialSize, fill, skinui::ReadColor(*element, "BorderColor"),
                                           skinui::ReadInt(*element, "Radius", 0)));
    }
    if (!m_initialSize.isEmpty()) resize(m_initialSize);
    update();
}

void CSCScalePanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    m_background.DrawFrame(painter, rect(), 0);
}

// ---- CAutoPanel ---------------------------------------------------------------------------

struct CAutoPanel::Decoration {
    enum class Kind { Box, Label, Image } kind;
    QRect place;
    int anchors = SC_ANCHOR_LEFT | SC_ANCHOR_TOP;
    QColor fill, border, color;
    int radius = 0;
    bool shadow = false;
    QString text;
    QFont font;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    bool wrap = false;
    CDataSource image;
};

CAutoPanel::CAutoPanel(QWidget* parent) : CSCScalePanel(parent) {}
CAutoPanel::~CAutoPanel() = default;

void CAutoPanel::LoadResources(const enXml* element) {
    CSCScalePanel::LoadResources(element);
    m_decorations.clear();
    if (element) LoadDecorations(*element);
    update();
}

void CAutoPanel::LoadDecorations(const enXml& element) {
    for (const enXml* child = element.FirstChildElement(); child; child = child->NextSiblingElement()) {
        const std::string name = child->GetName();
        auto decoration = std::make_unique<Decoration>();
        if (skintext::EqualsNoCase(name, "Box"))
            decoration->kind = Decoration::Kind::Box;
        else if (skintext::EqualsNoCase(name, "Label"))
            decoration->kind = Decoration::Kind::Label;
        else if (skintext::EqualsNoCase(name, "Image"))
            decoration->kind = Decoration::Kind::Image;
        else
            continue;
        if (!ReadPlace(*child, decoration->place)) continue;
        decoration->anchors = ReadAnchors(*child);
        decoration->fill = skinui::ReadColor(*child, "BkColor");
        decoration->border = skinui::ReadColor(*child, "BorderColor");
        decoration->color = skinui::ColorOr(skinui::ReadColor(*child, "TextColor"), SKINCOLOR_TEXT);
        decoration->radius = skinui::ReadInt(*child, "Radius", 0);
        decoration->shadow = skinui::ReadYesNo(*child, "Shadow", false);
        std::string text;
        if (child->GetAttribute("Text", text)) decoration->text = QString::fromStdString(text);
        decoration->font = ReadFont(*child, "LogFont", font());
        skinui::ReadHorizontalAlign(*child, "TextAlign", decoration->align);
        if (child->GetAttribute("VAlign", text)) {
            Qt::Alignment v = Qt::AlignVCenter;
            if (skintext::EqualsNoCase(text, "Top"))
                v = Qt::AlignTop;
            else if (skintext::EqualsNoCase(text, "Bottom"))
                v = Qt::AlignBottom;
            decoration->align = (decoration->align & ~Qt::AlignVertical_Mask) | v;
        }
        decoration->wrap = skinui::ReadYesNo(*child, "WordWrap", false);
        if (decoration->kind == Decoration::Kind::Image &&
            (!child->GetAttribute("Source", text) || !decoration->image.LoadFromFile(skinui::SkinFilePath(text))))
            continue;
        m_decorations.push_back(std::move(decoration));
    }
}

QRect CAutoPanel::PlaceAt(const QRect& place, int anchors) const {
    const QSize initial = m_initialSize.isEmpty() ? size() : m_initialSize;
    const int dx = width() - initial.width();
    const int dy = height() - initial.height();
    QRect result = place;
    const bool left = anchors & SC_ANCHOR_LEFT, right = anchors & SC_ANCHOR_RIGHT;
    const bool top = anchors & SC_ANCHOR_TOP, bottom = anchors & SC_ANCHOR_BOTTOM;
    if (left && right)
        result.setWidth(std::max(0, place.width() + dx));
    else if (right)
        result.translate(dx, 0);
    else if (!left)
        result.translate(dx / 2, 0);
    if (top && bottom)
        result.setHeight(std::max(0, place.height() + dy));
    else if (bottom)
        result.translate(0, dy);
    else if (!top)
        result.translate(0, dy / 2);
    return result;
}

void CAutoPanel::AutoDisposeControl(CSkinBase* control, const enXml* element) {
    if (!control) return;
    control->setParent(this);
    Placed placed{control, control->geometry(), SC_ANCHOR_LEFT | SC_ANCHOR_TOP};
    if (element) {
        if (ReadPlace(*element, placed.place)) placed.anchors = ReadAnchors(*element);
        control->ApplyElement(*element);
    }
    control->setGeometry(PlaceAt(placed.place, placed.anchors));
    control->setVisible(!element || skinui::ReadYesNo(*element, "Visible", true));
    if (m_lastInOrder && control->focusPolicy() != Qt::NoFocus) QWidget::setTabOrder(m_lastInOrder, control);
    if (control->focusPolicy() != Qt::NoFocus) m_lastInOrder = control;
    m_controls.push_back(placed);
}

void CAutoPanel::DetachAllControls() {
    for (const Placed& placed : m_controls) {
        if (!placed.control) continue;
        placed.control->hide();
        placed.control->setParent(parentWidget());
    }
    m_controls.clear();
    m_lastInOrder = nullptr;
}

void CAutoPanel::resizeEvent(QResizeEvent* event) {
    CSCScalePanel::resizeEvent(event);
    for (const Placed& placed : m_controls)
        if (placed.control) placed.control->setGeometry(PlaceAt(placed.place, placed.anchors));
}

void CAutoPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    m_background.DrawFrame(painter, rect(), 0);
    PaintUnderDecorations(painter);
    PaintDecorations(painter);
}

void CAutoPanel::PaintDecorations(QPainter& painter) const {
    for (const auto& d : m_decorations) {
        const QRect r = PlaceAt(d->place, d->anchors);
        switch (d->kind) {
            case Decoration::Kind::Box: {
                if (d->shadow) {
                    painter.setPen(Qt::NoPen);
                    for (int i = 1; i <= 3; ++i) {
                        painter.setBrush(QColor(16, 24, 40, 10));
                        painter.drawRoundedRect(QRectF(r).adjusted(-i + 1, -i + 2, i - 1, i), d->radius + i,
                                                d->radius + i);
                    }
                }
                painter.setBrush(d->fill.isValid() ? QBrush(d->fill) : Qt::NoBrush);
                painter.setPen(d->border.isValid() ? QPen(d->border, 1.0) : Qt::NoPen);
                painter.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), d->radius, d->radius);
                break;
            }
            case Decoration::Kind::Label:
                painter.setFont(d->font);
                painter.setPen(d->color);
                painter.drawText(r, static_cast<int>(d->align) | (d->wrap ? Qt::TextWordWrap : 0), d->text);
                break;
            case Decoration::Kind::Image: d->image.DrawFrame(painter, r, 0); break;
        }
    }
}

// ---- CAutoPanelCaption --------------------------------------------------------------------

CAutoPanelCaption::CAutoPanelCaption(QWidget* parent) : CAutoPanel(parent) {}
CAutoPanelCaption::~CAutoPanelCaption() = default;

void CAutoPanelCaption::LoadResources(const enXml* element) {
    m_captionHeight = 0;
    m_captionColor = m_captionTextColor = QColor();
    m_caption.clear();
    if (element) {
        m_captionHeight = std::max(0, skinui::ReadInt(*element, "CaptionHeight", 0));
        m_captionColor = skinui::ReadColor(*element, "CaptionColor");
        m_captionTextColor = skinui::ReadColor(*element, "CaptionTextColor");
        m_captionFont = ReadFont(*element, "CaptionLogFont", ToQFont(SkinControlsManager()->GetCaptionFont(), font()));
        std::string caption;
        if (element->GetAttribute("Caption", caption)) m_caption = QString::fromStdString(caption);
    }
    CAutoPanel::LoadResources(element);
}

void CAutoPanelCaption::SetCaptionText(const QString& text) {
    m_caption = text;
    update();
}

void CAutoPanelCaption::PaintUnderDecorations(QPainter& painter) {
    if (m_captionHeight <= 0) return;
    const QRect bar(0, 0, width(), m_captionHeight);
    if (m_captionColor.isValid()) {
        painter.save();
        painter.setClipRegion(m_background.GetFrameRgn(0, size()));
        painter.fillRect(bar, m_captionColor);
        painter.restore();
    }
    if (!m_caption.isEmpty()) {
        painter.setFont(m_captionFont);
        painter.setPen(skinui::ColorOr(m_captionTextColor, SKINCOLOR_TEXT));
        painter.drawText(bar.adjusted(20, 0, -20, 0), Qt::AlignLeft | Qt::AlignVCenter, m_caption);
    }
}

void CAutoPanelCaption::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || event->position().y() >= m_captionHeight)
        return CAutoPanel::mousePressEvent(event);
    // The move starts once the pointer leaves the press point, so that a double click
    // reaches the bar.
    m_pressed = true;
    m_dragOffset = event->globalPosition().toPoint() - window()->frameGeometry().topLeft();
    m_pressAt = event->globalPosition().toPoint();
}

void CAutoPanelCaption::mouseMoveEvent(QMouseEvent* event) {
    QWidget* top = window();
    if (m_pressed && !m_dragging &&
        (event->globalPosition().toPoint() - m_pressAt).manhattanLength() >= QApplication::startDragDistance()) {
        m_pressed = false;
        if (top->isMaximized()) return;
        if (top->windowHandle() && top->windowHandle()->startSystemMove()) return;
        m_dragging = true;
    }
    if (!m_dragging) return CAutoPanel::mouseMoveEvent(event);
    top->move(event->globalPosition().toPoint() - m_dragOffset);
}

void CAutoPanelCaption::mouseReleaseEvent(QMouseEvent* event) {
    m_dragging = false;
    m_pressed = false;
    CAutoPanel::mouseReleaseEvent(event);
}

void CAutoPanelCaption::mouseDoubleClickEvent(QMouseEvent* event) {
    const auto* dialog = qobject_cast<const CSCScaleDialog*>(window());
    if (event->button() != Qt::LeftButton || event->position().y() >= m_captionHeight || dialog == nullptr ||
        !dialog->IsResizable())
        return CAutoPanel::mouseDoubleClickEvent(event);
    m_pressed = false;
    QWidget* top = window();
    if (top->isMaximized())
        top->showNormal();
    else
        top->showMaximized();
}
