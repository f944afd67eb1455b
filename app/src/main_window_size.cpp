// CTessalyDlg: the window opens at the size it had when the program last ended, maximised
// again when it was, and always within the screen.
#include "app/main_window.h"

#include "app/settings.h"
#include "skin/window_geometry.h"

namespace {

constexpr char kWindowSection[] = "Window";

}  // namespace

void CTessalyDlg::RestoreWindowSize(const QSize& least) {
    const QSize stored(GetProfileInt(kWindowSection, "Width", 0), GetProfileInt(kWindowSection, "Height", 0));
    const QRect screen = AvailableScreenArea(this);
    QSize size = stored.expandedTo(least);
    if (!screen.isEmpty()) size = size.boundedTo(screen.size());
    resize(size);
    if (GetProfileInt(kWindowSection, "Maximized", 0) != 0) setWindowState(windowState() | Qt::WindowMaximized);
}

void CTessalyDlg::StoreWindowSize() const {
    // A maximised window keeps the size it comes back to.
    const QSize size = isMaximized() ? normalGeometry().size() : this->size();
    if (size.isValid()) {
        WriteProfileInt(kWindowSection, "Width", size.width());
        WriteProfileInt(kWindowSection, "Height", size.height());
    }
    WriteProfileInt(kWindowSection, "Maximized", isMaximized() ? 1 : 0);
}
