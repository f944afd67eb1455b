// CSCScaleDialog: a frameless dialog drawn by its panels, in the skin's fonts.
#include "skin/dialog.h"

#include <QKeyEvent>
#include <QToolTip>

#include "skin/skin_manager.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"

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
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
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
