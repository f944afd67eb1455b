// Conversions between the skin's values and Qt's.
#include "skin/skin_qt.h"

#include "skin/skin_manager.h"
#include "skin/skin_values.h"

QColor ToQColor(COLORREF color) {
    if (color == CLR_INVALID) return {};
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

QColor SkinPaletteColor(int index) { return ToQColor(SkinControlsManager()->GetSkinColor(index)); }

QFont ToQFont(const LOGFONT& lf, const QFont& fallback) {
    if (lf.lfFaceName[0] == '\0') return fallback;
    QFont font(fallback);
    const QString face =
        QString::fromUtf8(lf.lfFaceName, static_cast<qsizetype>(qstrnlen(lf.lfFaceName, sizeof lf.lfFaceName)));
    font.setFamilies({face, QStringLiteral("sans-serif")});
    const int pixels = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    if (pixels > 0) font.setPixelSize(pixels);
    if (lf.lfWeight >= 100 && lf.lfWeight <= 900) font.setWeight(static_cast<QFont::Weight>(lf.lfWeight));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    return font;
}
