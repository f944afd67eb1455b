#include "message_box_dialog.h"

#include <algorithm>

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "skin/dialog.h"
#include "skin/panels.h"
#include "xml/xml.h"

namespace {

// The dialog's face: a card in the skin palette's colours whose caption bar shows the title
// and moves the window.
CAutoPanelCaption* MakeFace(QWidget* dialog, const QString& caption, int captionHeight, const QSize& size) {
    enXml look;
    look.SetName("MainPanel");
    look.SetAttribute("Width", size.width());
    look.SetAttribute("Height", size.height());
    look.SetAttribute("BkColor", std::string("@Surface"));
    look.SetAttribute("BorderColor", std::string("@Border"));
    look.SetAttribute("Radius", 10);
    look.SetAttribute("CaptionHeight", captionHeight);
    look.SetAttribute("Caption", caption.toStdString());
    auto* face = new CAutoPanelCaption(dialog);
    face->LoadResources(&look);
    face->setGeometry(QRect(QPoint(0, 0), size));
    return face;
}

QRect ToQRect(const MessageBoxRect& rect) { return {rect.x, rect.y, rect.width, rect.height}; }

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
    : CSCScaleDialog(parent) {
    setWindowTitle(caption);
    const QFontMetrics metrics(font());
    const QFontMetrics captionMetrics(GetCaptionFont());
    // QFontMetrics::size breaks lines at line feeds exactly as the label draws them, so
    // every line, blank ones included, is counted.
    const QSize textSize = metrics.size(0, text);
    layout_ = LayoutMessageBox(type, {textSize.width(), textSize.height(), captionMetrics.horizontalAdvance(caption)},
                               BaseUnitsOf(metrics));
    // The layout is the client area, below the caption bar.
    const int captionHeight = captionMetrics.height() + 16;
    setFixedSize(layout_.width, layout_.height + captionHeight);
    CAutoPanelCaption* face = MakeFace(this, caption, captionHeight, size());
    // The card's shape is the window's: its rounded corners need no compositor.
    SetWindowRgn(face->GetDataSource().GetFrameRgn(0, size()));
    const auto toFace = [captionHeight](const MessageBoxRect& rect) {
        return ToQRect(rect).translated(0, captionHeight);
    };

    auto* iconLabel = new QLabel(face);
    iconLabel->setObjectName(QStringLiteral("icon"));
    iconLabel->setGeometry(toFace(layout_.icon));
    iconLabel->setAlignment(Qt::AlignCenter);
    const QIcon shown = icon != nullptr ? *icon : StandardIcon(*style(), layout_.iconKind);
    if (!shown.isNull()) {
        const int side = std::min({layout_.icon.width, layout_.icon.height,
                                   style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this)});
        iconLabel->setPixmap(shown.pixmap(QSize(side, side), devicePixelRatio()));
    }

    auto* textLabel = new QLabel(face);
    textLabel->setObjectName(QStringLiteral("text"));
    textLabel->setTextFormat(Qt::PlainText);
    textLabel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    textLabel->setGeometry(toFace(layout_.text));
    textLabel->setText(text);

    for (const MessageBoxButton& shown : layout_.buttons) {
        auto* button = new QPushButton(QString::fromUtf8(shown.text), face);
        button->setObjectName(QStringLiteral("button%1").arg(shown.id));
        button->setGeometry(toFace(shown.rect));
        // Enter is the dialog's own key (the type's default), not the focused button's.
        button->setAutoDefault(false);
        const int result = shown.result;
        connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    }
}

void CMessageBoxDlg::reject() { done(layout_.escapeResult); }

void CMessageBoxDlg::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            if (layout_.enterResult != 0) done(layout_.enterResult);
            return;
        }
    }
    CSCScaleDialog::keyPressEvent(event);
}
