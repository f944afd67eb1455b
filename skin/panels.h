// Panels: a background and initial size (CSCScalePanel), placed controls and decorations
// (CAutoPanel), and a caption bar that moves the window (CAutoPanelCaption).
#pragma once

#include <memory>
#include <vector>

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include "skin/data_source.h"
#include "skin/skin_base.h"

class enXml;
class QPainter;

// A panel with a skin background (Source picture or a BkColor/BorderColor/Radius shape) and
// an initial size (Width, Height) it is designed for.
class CSCScalePanel : public QWidget {
    Q_OBJECT
public:
    explicit CSCScalePanel(QWidget* parent);
    ~CSCScalePanel() override;

    // Reads the panel's look from its element; null gives the plain surface look.
    virtual void LoadResources(const enXml* element);
    QSize GetInitialSize() const { return m_initialSize; }
    // The background picture; its frame 0 is the panel's shape.
    CDataSource& GetDataSource() { return m_background; }

protected:
    void paintEvent(QPaintEvent* event) override;
    QSize m_initialSize;
    CDataSource m_background;
};

// A panel that places controls from their elements and draws its own decorations
// (<Box>, <Label>, <Image> children of its element).
class CAutoPanel : public CSCScalePanel {
    Q_OBJECT
public:
    explicit CAutoPanel(QWidget* parent);
    ~CAutoPanel() override;

    void LoadResources(const enXml* element) override;
    // Takes the control over: makes it a child of the panel, places it from the element's
    // Place and Anchor, applies the element's presentation attributes, and appends it to
    // the keyboard order. A control without Place keeps its geometry.
    void AutoDisposeControl(CSkinBase* control, const enXml* element);
    // Gives every control back to the panel's parent (hidden), so that destroying the panel
    // leaves them alone.
    void DetachAllControls();
    int GetControlCount() const { return static_cast<int>(m_controls.size()); }
    // Where a control of this Place/Anchor lies at the panel's current size.
    QRect PlaceAt(const QRect& place, int anchors) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Painted over the background and under the decorations (the caption bar).
    virtual void PaintUnderDecorations(QPainter&) {}

private:
    struct Placed {
        QPointer<CSkinBase> control;
        QRect place;
        int anchors;
    };
    struct Decoration;
    void LoadDecorations(const enXml& element);
    void PaintDecorations(QPainter& painter) const;
    std::vector<Placed> m_controls;
    std::vector<std::unique_ptr<Decoration>> m_decorations;
    QPointer<QWidget> m_lastInOrder;
};

// A panel with a caption bar (CaptionHeight, CaptionColor, Caption, CaptionTextColor,
// CaptionLogFont): dragging the bar moves the window; double-clicking it maximises a
// resizable dialog or gives it back its size.
class CAutoPanelCaption : public CAutoPanel {
    Q_OBJECT
public:
    explicit CAutoPanelCaption(QWidget* parent);
    ~CAutoPanelCaption() override;

    void LoadResources(const enXml* element) override;
    int GetCaptionHeight() const { return m_captionHeight; }
    void SetCaptionText(const QString& text);

protected:
    void PaintUnderDecorations(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int m_captionHeight = 0;
    QColor m_captionColor, m_captionTextColor;
    QFont m_captionFont;
    QString m_caption;
    bool m_pressed = false;   // pressed on the bar, not moved yet
    bool m_dragging = false;  // moving the window without the window system's help
    QPoint m_pressAt, m_dragOffset;
};
