#include "message_box_dialog.h"

#include <algorithm>

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace {

QRect ToQRect(const MessageBoxRect& rect) {
    return {rect.x, rect.y, rect.width, rect.height};
}

// The system's dialog base units: the average width of the Latin letters (rounded) and the
// character height of the font.
DialogBaseUnits BaseUnitsOf(const QFontMetrics& metrics) {
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return {(metrics.horizontalAdvance(letters) / 26 + 1) / 2, metrics.height()};
}

QIcon StandardIcon(const QStyle& style, MessageBoxIcon kind) {
    switch (kind) {
        case MessageBoxIcon::Hand: return style.standardIcon(QStyle::SP_MessageBoxCritical);
        case MessageBoxIcon::Question: return style.standardIcon(QStyle::SP_MessageBoxQuestion);
        case MessageBoxIcon::Exclamation: return style.standardIcon(QStyle::SP_MessageBoxWarning);
        case MessageBoxIcon::Information: return style.standardIcon(QStyle::SP_MessageBoxInformation);
        case MessageBoxIcon::None: break;
    }
    return {};
}

}  // namespace

CMessageBoxDlg::CMessageBoxDlg(uint32_t type, const QString& caption, const QString& text, const QIcon* icon,
                               QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(caption);
    const QFontMetrics metrics(font());
    // QFontMetrics::size breaks lines at line feeds exactly as the label draws them, so
    // every line, blank ones included, is counted.
    const QSize textSize = metrics.size(0, text);
    layout_ = LayoutMessageBox(type, {textSize.width(), textSize.height(), metrics.horizontalAdvance(caption)},
                               BaseUnitsOf(metrics));
    setFixedSize(layout_.width, layout_.height);

    auto* iconLabel = new QLabel(this);
    iconLabel->setObjectName(QStringLiteral("icon"));
    iconLabel->setGeometry(ToQRect(layout_.icon));
    iconLabel->setAlignment(Qt::AlignCenter);
    const QIcon shown = icon != nullptr ? *icon : StandardIcon(*style(), layout_.iconKind);
    if (!shown.isNull()) {
        const int side = std::min({layout_.icon.width, layout_.icon.height,
                                   style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this)});
        iconLabel->setPixmap(shown.pixmap(QSize(side, side), devicePixelRatio()));
    }

    auto* textLabel = new QLabel(this);
    textLabel->setObjectName(QStringLiteral("text"));
    textLabel->setTextFormat(Qt::PlainText);
    textLabel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    textLabel->setGeometry(ToQRect(layout_.text));
    textLabel->setText(text);

    for (const MessageBoxButton& spec : layout_.buttons) {
        auto* button = new QPushButton(QString::fromUtf8(spec.text), this);
        button->setObjectName(QStringLiteral("button%1").arg(spec.id));
        button->setGeometry(ToQRect(spec.rect));
        // Enter is the dialog's own key (the type's default), not the focused button's.
        button->setAutoDefault(false);
        const int result = spec.result;
        connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    }
}

void CMessageBoxDlg::reject() {
    done(layout_.escapeResult);
}

void CMessageBoxDlg::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            if (layout_.enterResult != 0) done(layout_.enterResult);
            return;
        }
    }
    QDialog::keyPressEvent(event);
}
