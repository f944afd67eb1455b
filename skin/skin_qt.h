// Conversions from the skin's values to Qt's.
#pragma once

#include <QColor>
#include <QFont>

#include "skin/skin_values.h"

// CLR_INVALID gives an invalid QColor.
QColor ToQColor(COLORREF color);
// The palette colour of the controls' manager as a QColor.
QColor SkinPaletteColor(int index);
// A font from a LOGFONT; `fallback` when its face is empty.
QFont ToQFont(const LOGFONT& lf, const QFont& fallback);
