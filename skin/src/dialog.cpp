// CSCScaleDialog: a frameless dialog drawn by its panels, in the skin's fonts.
#include "skin/dialog.h"

#include <QKeyEvent>
#include <QPainter>
#include <QToolTip>

#include "skin/skin_manager.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "skin/src/resize_grip.h"
#include "skin/window_geometry.h"

namespace {

constexpr int kCancelResult = 2;  // IDCANCEL

// Tooltips take the skin's colours and font once per process.
void ApplyTooltipLook(const QFont& font) {
    static bool applied = false;
    if (applied) return;
    applied = true;
    QPalette palette = QToolTip::palette();
    palette.setColor(QPalette::ToolTipBase, SkinPaletteColor(SKINCOLOR_TEXT));
    palette.setColor(QPalette::ToolTipText, SkinPaletteColor(SKINCOLOR_SURFACE));
    QToolTip::setPalette(palette);
    QToolTip::setFont(font);
}

}  // namespace

CSCScaleDialog::CSCScaleDialog(QWidget* parent) : QDialog(parent) {
    // Opaque, shaped by a mask: a translucent window shows black corners where no compositor
    // runs.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFont(ToQFont(SkinControlsManager()->GetSkinFont(), font()));
    ApplyTooltipLook(font());
}

CSCScaleDialog::~CSCScaleDialog() = default;

QFont CSCScaleDialog::GetCaptionFont() const { return ToQFont(SkinControlsManager()->GetCaptionFont(), font()); }

void CSCScaleDialog::SetWindowRgn(const QRegion& region) {
    if (region.isEmpty())
        clearMask();
    else
        setMask(region);
}

void CSCScaleDialog::SetResizable(bool resizable) {
    if (resizable == m_resizable) return;
    m_resizable = resizable;
    if (resizable) {
        for (const Qt::Edges edges :
             {Qt::Edges(Qt::LeftEdge), Qt::Edges(Qt::RightEdge), Qt::Edges(Qt::TopEdge), Qt::Edges(Qt::BottomEdge),
              Qt::LeftEdge | Qt::TopEdge, Qt::RightEdge | Qt::TopEdge, Qt::LeftEdge | Qt::BottomEdge,
              Qt::RightEdge | Qt::BottomEdge})
            new CResizeGrip(this, edges);  // owned by the dialog
    } else {
        qDeleteAll(findChildren<CResizeGrip*>(Qt::FindDirectChildrenOnly));
    }
}

QRect CSCScaleDialog::OpeningGeometry() const {
    const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    const bool ownerShown = owner != nullptr && owner->isVisible() && !owner->isMinimized();
    const QRect available = AvailableScreenArea(ownerShown ? owner : this);
    return CentredOn(ownerShown ? owner->frameGeometry() : available, size(), available);
}

void CSCScaleDialog::setVisible(bool visible) {
    // A maximised window is placed by the window system; a move would make it normal again.
    const bool placed = testAttribute(Qt::WA_Moved) || (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
    if (visible && !isVisible() && !placed && isWindow()) move(OpeningGeometry().topLeft());
    QDialog::setVisible(visible);
}

void CSCScaleDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), SkinPaletteColor(SKINCOLOR_SURFACE));
}

void CSCScaleDialog::reject() { done(kCancelResult); }

void CSCScaleDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && m_defaultButton && m_defaultButton->isEnabled() &&
        m_defaultButton->isVisible()) {
        m_defaultButton->Click();
        return;
    }
    QDialog::keyPressEvent(event);
}
