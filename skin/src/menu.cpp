// CSCMenu: a popup menu in the skin's colours whose entries carry command ids.
#include "skin/menu.h"

#include <QCursor>

#include "skin/skin_manager.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "skin/window_geometry.h"

namespace {

constexpr int kCornerRadius = 8;

}  // namespace

CSCMenu::CSCMenu(QWidget* parent) : QMenu(parent) {
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    // A popup is a window of its own and takes no font from its parent: the skin's, as the
    // dialogs have.
    setFont(ToQFont(SkinControlsManager()->GetSkinFont(), font()));
    setStyleSheet(QStringLiteral("QMenu{background:%1;border:1px solid %2;border-radius:%6px;padding:6px;color:%3;}"
                                 "QMenu::item{padding:7px 24px 7px 28px;border-radius:6px;}"
                                 "QMenu::item:selected{background:%4;}"
                                 "QMenu::item:disabled{color:%5;}"
                                 "QMenu::separator{height:1px;background:%2;margin:5px 8px;}"
                                 "QMenu::indicator{width:14px;height:14px;left:8px;}"
                                 "QMenu::icon{left:8px;}")
                      .arg(SkinPaletteColor(SKINCOLOR_SURFACE).name(), SkinPaletteColor(SKINCOLOR_BORDER).name(),
                           SkinPaletteColor(SKINCOLOR_TEXT).name(), SkinPaletteColor(SKINCOLOR_SELECTION).name(),
                           SkinPaletteColor(SKINCOLOR_DISABLED_TEXT).name(), QString::number(kCornerRadius)));
}

CSCMenu::~CSCMenu() = default;

QAction* CSCMenu::MakeItem(uint32_t flags, int id, const QString& text) {
    auto* action = new QAction(text, this);
    if (flags & MF_SEPARATOR) {
        action->setSeparator(true);
        return action;
    }
    action->setData(id);
    action->setEnabled(!(flags & MF_GRAYED));
    if (flags & MF_CHECKED) {
        action->setCheckable(true);
        action->setChecked(true);
    }
    return action;
}

void CSCMenu::AppendMenu(uint32_t flags, int id, const QString& text) { addAction(MakeItem(flags, id, text)); }

void CSCMenu::InsertMenu(int position, uint32_t flags, int id, const QString& text) {
    const QList<QAction*> items = actions();
    QAction* before = position >= 0 && position < items.size() ? items[position] : nullptr;
    insertAction(before, MakeItem(flags, id, text));
}

QAction* CSCMenu::FindItem(int id) const {
    for (QAction* action : actions())
        if (!action->isSeparator() && action->data().toInt() == id) return action;
    return nullptr;
}

void CSCMenu::CheckMenuItem(int id, bool checked) {
    if (QAction* action = FindItem(id)) {
        action->setCheckable(true);
        action->setChecked(checked);
    }
}

void CSCMenu::EnableMenuItem(int id, bool enabled) {
    if (QAction* action = FindItem(id)) action->setEnabled(enabled);
}

void CSCMenu::SetMenuItemIcon(int id, const QIcon& icon) {
    if (QAction* action = FindItem(id)) action->setIcon(icon);
}

int CSCMenu::GetMenuItemCount() const { return static_cast<int>(actions().size()); }

int CSCMenu::TrackPopupMenu(const QPoint& globalPosition) {
    const QAction* chosen = exec(globalPosition);
    return chosen && !chosen->isSeparator() ? chosen->data().toInt() : 0;
}

QPoint CSCMenu::PopupPosition() const {
    if (!m_anchor) return QCursor::pos();
    const QRect button = GlobalRect(*m_anchor);
    return PopupUnder(button, sizeHint(), AvailableScreenArea(m_anchor));
}

int CSCMenu::TrackPopupMenu() { return TrackPopupMenu(PopupPosition()); }

void CSCMenu::resizeEvent(QResizeEvent* event) {
    QMenu::resizeEvent(event);
    setMask(RoundedRegion(size(), kCornerRadius));
}
