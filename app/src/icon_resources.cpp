// The program's icon resources, drawn from SVG pictures compiled into the program.
#include "app/resources.h"

QIcon LoadIconResource(int id) {
    switch (id) {
        case IDI_WARNING: return QIcon(QStringLiteral(":/morvane/icon-warning.svg"));
        case IDI_INFORMATION: return QIcon(QStringLiteral(":/morvane/icon-information.svg"));
        default: return {};
    }
}
