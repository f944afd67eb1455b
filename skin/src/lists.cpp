// CSCComboBox, CSCComboBox2 and CSCListBox on Qt's list widgets, drawn in the skin's colours.
#include "skin/lists.h"

#include <functional>

#include <QAbstractItemView>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "skin/control_records.h"
#include "skin/skin_base.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "skin/src/skin_private.h"

namespace {

// Rows of an open drop-down list: roomy, hover and selection tinted, optional check mark.
class SkinItemDelegate final : public QStyledItemDelegate {
public:
    SkinItemDelegate(QObject* parent, std::function<int()> rowHeight, std::function<bool()> marks,
                     std::function<int()> current)
        : QStyledItemDelegate(parent),
          m_rowHeight(std::move(rowHeight)),
          m_marks(std::move(marks)),
          m_current(std::move(current)) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(m_rowHeight());
        return size;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const QRectF row = QRectF(option.rect).adjusted(4, 1, -4, -1);
        const bool hot = option.state & (QStyle::State_MouseOver | QStyle::State_Selected);
        if (hot) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(
                SkinPaletteColor((option.state & QStyle::State_Selected) ? SKINCOLOR_SELECTION : SKINCOLOR_HOVER));
            painter->drawRoundedRect(row, 6, 6);
        }
        const bool enabled = option.state & QStyle::State_Enabled;
        painter->setPen(SkinPaletteColor(enabled ? SKINCOLOR_TEXT : SKINCOLOR_DISABLED_TEXT));
        painter->setFont(option.font);
        const int markWidth = m_marks() ? 24 : 0;
        painter->drawText(row.adjusted(10, 0, -10 - markWidth, 0), Qt::AlignVCenter | Qt::AlignLeft,
                          index.data(Qt::DisplayRole).toString());
        if (markWidth && index.row() == m_current()) {
            const QPointF o(row.right() - 22, row.center().y() - 6);
            painter->setPen(QPen(SkinPaletteColor(SKINCOLOR_ACCENT), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter->drawPolyline(QPolygonF({o + QPointF(2, 6), o + QPointF(6, 10), o + QPointF(13, 2)}));
        }
        painter->restore();
    }

private:
    std::function<int()> m_rowHeight;
    std::function<bool()> m_marks;
    std::function<int()> m_current;
};

// The closed drop-down: a field with the chosen text and a chevron.
class SkinComboBox final : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        skinui::PaintField(painter, rect(), SkinPaletteColor(SKINCOLOR_SURFACE), hasFocus(), underMouse(),
                           !isEnabled());
        const QColor text = SkinPaletteColor(isEnabled() ? SKINCOLOR_TEXT : SKINCOLOR_DISABLED_TEXT);
        painter.setPen(text);
        painter.setFont(font());
        const QRect textRect = rect().adjusted(12, 0, -34, 0);
        painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                         fontMetrics().elidedText(currentText(), Qt::ElideRight, textRect.width()));
        skinui::PaintChevron(painter, QPointF(width() - 18, height() / 2.0 + 1),
                             SkinPaletteColor(isEnabled() ? SKINCOLOR_TEXT_SECONDARY : SKINCOLOR_DISABLED_TEXT));
    }
};

QVBoxLayout* FillLayout(QWidget* owner) {
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
}

QString PopupStyleSheet() {
    return QStringLiteral(
               "QAbstractItemView{background:%1;border:1px solid %2;border-radius:8px;padding:4px;outline:0;}")
               .arg(SkinPaletteColor(SKINCOLOR_SURFACE).name(), SkinPaletteColor(SKINCOLOR_BORDER).name()) +
           skinui::ScrollingStyleSheet(SkinPaletteColor(SKINCOLOR_SURFACE));
}

}  // namespace

// ---- CSCComboBox --------------------------------------------------------------------------

CSCComboBox::CSCComboBox(QWidget* parent, int windowId, uint32_t style)
    : CSkinBase(parent, windowId, style), m_combo(new SkinComboBox(this)) {
    FillLayout(this)->addWidget(m_combo);
    m_combo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_combo->setAttribute(Qt::WA_Hover);
    m_combo->setItemDelegate(new SkinItemDelegate(
        m_combo, [this] { return RowHeight(); }, [this] { return MarksCurrent(); },
        [this] { return m_combo->currentIndex(); }));
    m_combo->view()->setStyleSheet(PopupStyleSheet());
    setFocusProxy(m_combo);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_combo, &QComboBox::activated, this, [this] { NotifyParent(SCN_SELCHANGE); });
}

CSCComboBox::~CSCComboBox() = default;

int CSCComboBox::AddString(const QString& text) {
    m_combo->addItem(text);
    return m_combo->count() - 1;
}

int CSCComboBox::InsertString(int index, const QString& text) {
    const int at = index < 0 || index > m_combo->count() ? m_combo->count() : index;
    m_combo->insertItem(at, text);
    return at;
}

void CSCComboBox::DeleteString(int index) {
    if (index >= 0 && index < m_combo->count()) m_combo->removeItem(index);
}

void CSCComboBox::ResetContent() { m_combo->clear(); }
int CSCComboBox::GetCount() const { return m_combo->count(); }
int CSCComboBox::GetCurSel() const { return m_combo->currentIndex(); }

void CSCComboBox::SetCurSel(int index) {
    m_combo->setCurrentIndex(index >= 0 && index < m_combo->count() ? index : -1);
}

QString CSCComboBox::GetLBText(int index) const { return m_combo->itemText(index); }

void CSCComboBox::SetItemData(int index, intptr_t data) {
    if (index >= 0 && index < m_combo->count()) m_combo->setItemData(index, QVariant::fromValue<qlonglong>(data));
}

intptr_t CSCComboBox::GetItemData(int index) const {
    if (index < 0 || index >= m_combo->count()) return 0;
    return static_cast<intptr_t>(m_combo->itemData(index).toLongLong());
}

QString CSCComboBox::GetWindowText() const { return m_combo->currentText(); }

CSCComboBox2::CSCComboBox2(QWidget* parent, int windowId, uint32_t style) : CSCComboBox(parent, windowId, style) {}
CSCComboBox2::~CSCComboBox2() = default;

// ---- CSCListBox ---------------------------------------------------------------------------

CSCListBox::CSCListBox(QWidget* parent, int windowId, uint32_t style)
    : CSkinBase(parent, windowId, style), m_list(new QListWidget(this)) {
    FillLayout(this)->addWidget(m_list);
    m_list->setAttribute(Qt::WA_Hover);
    m_list->setStyleSheet(
        QStringLiteral(
            "QListWidget{background:%1;border:1px solid %2;border-radius:8px;padding:4px;outline:0;color:%3;}"
            "QListWidget:focus{border:2px solid %4;}"
            "QListWidget::item{padding:6px 8px;border-radius:6px;}"
            "QListWidget::item:hover{background:%5;}"
            "QListWidget::item:selected{background:%6;color:%7;}")
            .arg(SkinPaletteColor(SKINCOLOR_SURFACE).name(), SkinPaletteColor(SKINCOLOR_BORDER).name(),
                 SkinPaletteColor(SKINCOLOR_TEXT).name(), SkinPaletteColor(SKINCOLOR_ACCENT).name(),
                 SkinPaletteColor(SKINCOLOR_HOVER).name(), SkinPaletteColor(SKINCOLOR_SELECTION).name(),
                 SkinPaletteColor(SKINCOLOR_SELECTION_TEXT).name()) +
        skinui::ScrollingStyleSheet(SkinPaletteColor(SKINCOLOR_SURFACE)));
    setFocusProxy(m_list);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_list, &QListWidget::currentRowChanged, this, [this] {
        if (!m_settingSelection) NotifyParent(SCN_SELCHANGE);
    });
    connect(m_list, &QListWidget::itemActivated, this, [this] { NotifyParent(SCN_DBLCLK); });
}

CSCListBox::~CSCListBox() = default;

int CSCListBox::AddString(const QString& text) {
    m_list->addItem(text);
    return m_list->count() - 1;
}

void CSCListBox::DeleteString(int index) {
    if (index < 0 || index >= m_list->count()) return;
    m_settingSelection = true;
    delete m_list->takeItem(index);
    m_settingSelection = false;
}

void CSCListBox::ResetContent() {
    m_settingSelection = true;
    m_list->clear();
    m_settingSelection = false;
}

int CSCListBox::GetCount() const { return m_list->count(); }
int CSCListBox::GetCurSel() const { return m_list->currentRow(); }

void CSCListBox::SetCurSel(int index) {
    m_settingSelection = true;
    m_list->setCurrentRow(index >= 0 && index < m_list->count() ? index : -1);
    m_settingSelection = false;
}

QString CSCListBox::GetText(int index) const {
    const QListWidgetItem* item = m_list->item(index);
    return item ? item->text() : QString();
}

void CSCListBox::SetItemData(int index, intptr_t data) {
    if (QListWidgetItem* item = m_list->item(index)) item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(data));
}

intptr_t CSCListBox::GetItemData(int index) const {
    const QListWidgetItem* item = m_list->item(index);
    return item ? static_cast<intptr_t>(item->data(Qt::UserRole).toLongLong()) : 0;
}
