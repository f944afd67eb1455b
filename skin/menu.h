// CSCMenu: a popup menu in the skin's look whose entries carry command ids.
#pragma once

#include <cstdint>

#include <QIcon>
#include <QMenu>
#include <QPoint>
#include <QString>

// A popup menu in the skin's look. Entries carry command ids; TrackPopupMenu returns the
// chosen id, or 0 when the menu was dismissed.
class CSCMenu : public QMenu {
    Q_OBJECT
public:
    explicit CSCMenu(QWidget* parent = nullptr);
    ~CSCMenu() override;

    enum : uint32_t { MF_STRING = 0, MF_GRAYED = 0x1, MF_CHECKED = 0x8, MF_SEPARATOR = 0x800 };
    void AppendMenu(uint32_t flags, int id = 0, const QString& text = {});
    // Inserts before the entry at position (appends when beyond the end).
    void InsertMenu(int position, uint32_t flags, int id = 0, const QString& text = {});
    void CheckMenuItem(int id, bool checked);
    void EnableMenuItem(int id, bool enabled);
    void SetMenuItemIcon(int id, const QIcon& icon);
    QAction* FindItem(int id) const;
    int GetMenuItemCount() const;
    int TrackPopupMenu(const QPoint& globalPosition);

private:
    QAction* MakeItem(uint32_t flags, int id, const QString& text);
};
