// Helpers shared by the skin library's Qt sources: attributes read into Qt values, tinted
// icons, the plain field look and the scroll bar style sheet.
#include "skin/src/skin_private.h"

#include <QFileInfo>
#include <QPainter>

#include "platform/texts.h"
#include "skin/skin_manager.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "skin/src/skin_text.h"
#include "xml/xml.h"

namespace skinui {

QString SkinFilePath(const std::string& name) {
    const std::string folder = SkinControlsManager()->GetSkinFolder();
    if (!name.empty() && name.front() == '/') return QString::fromStdString(name);
    return QString::fromStdString((folder.empty() ? std::string(".") : folder) + "/" + name);
}

QIcon LoadIconAttribute(const enXml& element, const char* attribute) {
    std::string name;
    if (!element.GetAttribute(attribute, name) || name.empty()) return {};
    const QString path = SkinFilePath(name);
    return QFileInfo(path).isFile() ? QIcon(path) : QIcon();
}

bool ReadHorizontalAlign(const enXml& element, const char* attribute, Qt::Alignment& alignment) {
    std::string text;
    if (!element.GetAttribute(attribute, text)) return false;
    Qt::Alignment horizontal;
    if (skintext::EqualsNoCase(text, "Left"))
        horizontal = Qt::AlignLeft;
    else if (skintext::EqualsNoCase(text, "Center"))
        horizontal = Qt::AlignHCenter;
    else if (skintext::EqualsNoCase(text, "Right"))
        horizontal = Qt::AlignRight;
    else
        return false;
    alignment = (alignment & ~Qt::AlignHorizontal_Mask) | horizontal;
    return true;
}

bool ReadYesNo(const enXml& element, const char* attribute, bool fallback) {
    std::string text;
    if (!element.GetAttribute(attribute, text)) return fallback;
    if (skintext::EqualsNoCase(text, "Yes")) return true;
    if (skintext::EqualsNoCase(text, "No")) return false;
    return fallback;
}

QColor ColorOr(const QColor& color, int paletteIndex) {
    return color.isValid() ? color : SkinPaletteColor(paletteIndex);
}

QColor ReadColor(const enXml& element, const char* attribute) {
    std::string text;
    if (!element.GetAttribute(attribute, text)) return {};
    return ToQColor(LoadColor(text));
}

int ReadInt(const enXml& element, const char* attribute, int fallback) {
    std::string text;
    int32_t value = 0;
    if (!element.GetAttribute(attribute, text) || !skintext::ParseInt(text, value)) return fallback;
    return value;
}

QPixmap TintedIcon(const QIcon& icon, const QSize& size, qreal ratio, const QColor& color) {
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    icon.paint(&painter, QRect(QPoint(0, 0), size));
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(QRect(QPoint(0, 0), size), color);
    painter.end();
    return QPixmap::fromImage(image);
}

void PaintField(QPainter& painter, const QRect& rect, const QColor& background, bool focused, bool hover,
                bool disabled) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QColor border = SkinPaletteColor(SKINCOLOR_BORDER);
    if (hover) border = border.darker(118);
    if (focused) border = SkinPaletteColor(SKINCOLOR_ACCENT);
    painter.setBrush(disabled ? SkinPaletteColor(SKINCOLOR_WINDOW) : background);
    painter.setPen(QPen(border, focused ? 2.0 : 1.0));
    const qreal inset = focused ? 1.0 : 0.5;
    painter.drawRoundedRect(QRectF(rect).adjusted(inset, inset, -inset, -inset), 8.0, 8.0);
    painter.restore();
}

void PaintChevron(QPainter& painter, const QPointF& centre, const QColor& color) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({centre + QPointF(-4, -2), centre + QPointF(0, 2), centre + QPointF(4, -2)}));
    painter.restore();
}

bool IsMoveKey(int key) {
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End: return true;
        default: return false;
    }
}

QString ScrollingStyleSheet(const QColor& background) {
    const QString handle = SkinPaletteColor(SKINCOLOR_BORDER).darker(115).name();
    const QString hover = SkinPaletteColor(SKINCOLOR_TEXT_SECONDARY).name();
    return QStringLiteral(
               "QScrollBar:vertical{background:%1;width:10px;margin:2px;border:none;}"
               "QScrollBar:horizontal{background:%1;height:10px;margin:2px;border:none;}"
               "QScrollBar::handle{background:%2;border-radius:3px;min-height:24px;min-width:24px;}"
               "QScrollBar::handle:hover{background:%3;}"
               "QScrollBar::add-line,QScrollBar::sub-line{width:0;height:0;border:none;background:none;}"
               "QScrollBar::add-page,QScrollBar::sub-page{background:none;}")
        .arg(background.name(), handle, hover);
}

}  // namespace skinui
