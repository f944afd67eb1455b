// Helpers shared by the skin library's Qt sources (not part of its interface).
#pragma once

#include <cstdint>
#include <string>

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

class enXml;
class QPainter;

namespace skinui {

// A resource record handed to UseCustomSkin as the kind's type; null when it is missing or
// its first word (its size) is not the type's size.
template <class Record>
const Record* RecordAs(const void* record) {
    if (!record || *static_cast<const uint32_t*>(record) != sizeof(Record)) return nullptr;
    return static_cast<const Record*>(record);
}

// An image named by a skin element, made absolute against the loaded skin's folder.
QString SkinFilePath(const std::string& name);
// An icon file named by the attribute, or a null icon.
QIcon LoadIconAttribute(const enXml& element, const char* attribute);
// "Left", "Center", "Right" (case-insensitive) into `alignment`'s horizontal part; false
// when the attribute is absent or says something else.
bool ReadHorizontalAlign(const enXml& element, const char* attribute, Qt::Alignment& alignment);
// "Yes"/"No" (case-insensitive); `fallback` when absent or anything else.
bool ReadYesNo(const enXml& element, const char* attribute, bool fallback);
// `color` when it is valid, else the palette colour of the controls' manager.
QColor ColorOr(const QColor& color, int paletteIndex);
// A colour attribute through LoadColor; invalid when absent or bad.
QColor ReadColor(const enXml& element, const char* attribute);
// An integer attribute; fallback when absent or no number.
int ReadInt(const enXml& element, const char* attribute, int fallback);
// The icon rendered at size for the pixel ratio, every pixel painted in `color`.
QPixmap TintedIcon(const QIcon& icon, const QSize& size, qreal ratio, const QColor& color);
// The plain look of a text field: rounded, bordered, accent border when focused.
void PaintField(QPainter& painter, const QRect& rect, const QColor& background, bool focused, bool hover,
                bool disabled);
// A small downward chevron centred on `centre`.
void PaintChevron(QPainter& painter, const QPointF& centre, const QColor& color);
// Arrows, Page Up/Down, Home and End: the keys that move a slider or a scroll bar.
bool IsMoveKey(int key);
// A scroll bar style sheet in the palette's colours for Qt's own scrolling widgets.
QString ScrollingStyleSheet(const QColor& background);

}  // namespace skinui
