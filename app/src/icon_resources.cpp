// The program's icon resources, drawn from SVG pictures compiled into the program.
#include "app/resources.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include "skin/skin_qt.h"
#include "skin/skin_values.h"

namespace {

// Menus show icons at 16 pixels; the larger copy serves a 2x screen.
constexpr int kMenuIconSizes[] = {16, 32};

QString MenuIconPath(int id) {
    switch (id) {
        case IDI_MENU_LIBRARY: return QStringLiteral(":/morvane/menu-library.svg");
        case IDI_MENU_COMPUTER: return QStringLiteral(":/morvane/menu-computer.svg");
        case IDI_MENU_RECORDING: return QStringLiteral(":/morvane/menu-recording.svg");
        case IDI_MENU_CD_DRIVE: return QStringLiteral(":/morvane/menu-cd-drive.svg");
        default: return {};
    }
}

// The line picture (drawn in black) at the size, in the colour.
QPixmap LinePixmap(QSvgRenderer& picture, int size, const QColor& colour) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    picture.render(&painter, QRectF(0, 0, size, size));
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), colour);
    painter.end();
    return QPixmap::fromImage(image);
}

}  // namespace

QIcon LoadIconResource(int id) {
    switch (id) {
        case IDI_WARNING: return QIcon(QStringLiteral(":/morvane/icon-warning.svg"));
        case IDI_INFORMATION: return QIcon(QStringLiteral(":/morvane/icon-information.svg"));
        default: return {};
    }
}

QIcon LoadMenuIcon(int id) {
    const QString path = MenuIconPath(id);
    if (path.isEmpty()) return {};
    QSvgRenderer picture(path);
    if (!picture.isValid()) return {};
    const std::pair<QIcon::Mode, int> colours[] = {{QIcon::Normal, SKINCOLOR_TEXT_SECONDARY},
                                                   {QIcon::Active, SKINCOLOR_TEXT},
                                                   {QIcon::Selected, SKINCOLOR_TEXT},
                                                   {QIcon::Disabled, SKINCOLOR_DISABLED_TEXT}};
    QIcon icon;
    for (const auto& [mode, colour] : colours)
        for (int size : kMenuIconSizes) icon.addPixmap(LinePixmap(picture, size, SkinPaletteColor(colour)), mode);
    return icon;
}
