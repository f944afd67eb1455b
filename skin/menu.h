// CSCMenu: a popup menu in the skin's look whose entries carry command ids.
#pragma once

#include <cstdint>

#include <QIcon>
#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QString>

// A popup menu in the skin's look. Entries carry command ids; TrackPopupMenu returns the
// chosen id, or 0 when the menu was dismissed. Its rounded corners are a window mask, so
// they stay clean without a compositor.
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
    // The button the menu belongs to: it opens under it (see PopupPosition).
    void SetPopupAnchor(const QWidget* button) { m_anchor = button; }
    const QWidget* PopupAnchor() const { return m_anchor; }
    // Where the menu opens: under the anchor button's bottom-left corner, above it when
    // there is no room below, kept on the screen; at the cursor without an anchor.
    QPoint PopupPosition() const;
    // Opens the menu at PopupPosition; the chosen id or 0.
    int TrackPopupMenu();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QAction* MakeItem(uint32_t flags, int id, const QString& text);
    QPointer<const QWidget> m_anchor;
};
