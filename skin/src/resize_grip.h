// CResizeGrip: an invisible strip along an edge or corner of a frameless window that resizes
// the window when dragged.
#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>

class CResizeGrip : public QWidget {
    Q_OBJECT
public:
    // Pixels a grip reaches into the window from its edge.
    static constexpr int kThickness = 6;

    // A grip of `edges` (one edge, or two for a corner) on the window `window`; it follows
    // the window's size, stays above its other children and hides while it is maximised.
    CResizeGrip(QWidget* window, Qt::Edges edges);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void FollowWindow();

    Qt::Edges m_edges;
    // A drag the window system does not take over: where it started.
    bool m_dragging = false;
    QPoint m_pressAt;
    QRect m_pressGeometry;
};
