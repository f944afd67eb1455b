// CSCScrollBar: a scroll bar that requests scrolling; its owner moves it.
#pragma once

#include <QRect>
#include <QTimer>

#include "skin/control_records.h"
#include "skin/data_source.h"
#include "skin/skin_base.h"

// Scroll bar (kind 8). As a system scroll bar, it does not move by itself: user actions are
// requests, reported as scroll(id, request, position); the owner sets the new position.
// While the thumb is dragged it follows the pointer.
class CSCScrollBar : public CSkinBase {
    Q_OBJECT
public:
    CSCScrollBar(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCScrollBar() override;

    bool UseCustomSkin(const void* record) override;
    // Range min..max, page size (items visible at once), position clamped to max-page+1.
    void SetScrollInfo(int minimum, int maximum, int page, int position);
    void SetScrollPos(int position);
    int GetScrollPos() const { return m_pos; }
    int GetScrollMin() const { return m_min; }
    int GetScrollMax() const { return m_max; }
    int GetScrollPage() const { return m_page; }
    // The highest position the thumb can reach.
    int GetScrollLimit() const;
    bool IsVertical() const { return (GetStyle() & SBS_VERT) != 0; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool OwnsKey(int key) const override;

private:
    QRect TrackRect() const;
    QRect ThumbRect(int position) const;
    int PositionAt(int pixel) const;
    void Request(int request, int position);
    CDataSource m_source;
    int m_min = 0, m_max = 0, m_page = 0, m_pos = 0;
    bool m_dragging = false;
    int m_dragPos = 0;
    int m_dragOffset = 0;
    int m_repeatRequest = -1;
    QTimer m_repeat;
};
