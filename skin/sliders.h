// Sliders: the two-state slider (CSCSlider) and the one whose track stretches (CSCScaleSlider).
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include "skin/control_records.h"
#include "skin/data_source.h"
#include "skin/skin_base.h"
#include "skin/skin_file.h"

// Two-state slider (CSCSlider, kinds 22/23): a track picture whose part before the thumb
// shows the filled state, and a thumb. Keyboard: arrows one step, Page Up/Down a page,
// Home/End the ends. Every change by the user reports SCN_HSCROLL (SCN_VSCROLL when
// vertical) and scroll(id, request, position). A vertical slider has its maximum at the top.
class CSCSlider : public CSkinBase {
    Q_OBJECT
public:
    CSCSlider(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCSlider() override;

    bool UseCustomSkin(const void* record) override;
    void SetRange(int minimum, int maximum);
    int GetRangeMin() const { return m_min; }
    int GetRangeMax() const { return m_max; }
    void SetPos(int position);  // clamped; no notification
    int GetPos() const { return m_pos; }
    void SetLineSize(int size) { m_line = size > 0 ? size : 1; }
    void SetPageSize(int size) { m_pageSize = size > 0 ? size : 1; }
    bool IsVertical() const { return (GetStyle() & TBS_VERT) != 0; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool OwnsKey(int key) const override;
    // The rectangle the track picture is drawn in; the stretching slider overrides it.
    virtual QRect TrackRect() const;
    bool ApplySliderRecord(SkinHandle source, int drawAlign, int beginTrack, int endTrack);
    CDataSource m_source;

private:
    int Travel() const;  // pixels the thumb centre can move
    int ThumbCentre(int position) const;
    int PositionAt(const QPoint& point) const;
    QSize ThumbSize() const;
    void UserMove(int position, int request);
    int m_min = 0, m_max = 100, m_pos = 0;
    int m_line = 1, m_pageSize = 10;
    int m_align = SC_ALIGN_CENTER;
    int m_beginTrack = 0, m_endTrack = 0;
    bool m_dragging = false;
};

// Slider whose track picture is stretched over the control's length, its ends (BeginDraw-
// Offset, EndDrawOffset) kept at their size.
class CSCScaleSlider : public CSCSlider {
    Q_OBJECT
public:
    CSCScaleSlider(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCScaleSlider() override;

    bool UseCustomSkin(const void* record) override;

protected:
    QRect TrackRect() const override;
};
