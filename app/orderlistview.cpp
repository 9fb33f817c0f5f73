#include "app/orderlistview.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QTableView>
#include <algorithm>
#include <vector>

#include "order/choices.h"
#include "order/listcolumns.h"
#include "order/orderlistmodel.h"

ListHeader::ListHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    setHighlightSections(false);
    setMouseTracking(true);  // hot tracking of the titles
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    font.setBold(true);
    setFont(font);
}

void ListHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid() || model() == nullptr) {
        return;
    }
    painter->save();
    const QColor background =
        model()->headerData(logicalIndex, orientation(), Qt::BackgroundRole).value<QColor>();
    const bool hot = rect.contains(mapFromGlobal(QCursor::pos())) && underMouse();
    painter->fillRect(rect, hot ? background.lighter(115) : background);
    painter->setPen(background.darker(130));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    const QColor ink =
        model()->headerData(logicalIndex, orientation(), Qt::ForegroundRole).value<QColor>();
    painter->setPen(ink);
    painter->setFont(font());
    QRect textRect = rect.adjusted(2, 0, -2, 0);
    if (isSortIndicatorShown() && sortIndicatorSection() == logicalIndex) {
        // The marker at the right: up while ascending, down otherwise.
        const int side = 7;
        const QPointF c(rect.right() - 8, rect.center().y() + 0.5);
        QPainterPath triangle;
        if (sortIndicatorOrder() == Qt::AscendingOrder) {
            triangle.moveTo(c.x() - side / 2.0, c.y() + side / 4.0);
            triangle.lineTo(c.x() + side / 2.0, c.y() + side / 4.0);
            triangle.lineTo(c.x(), c.y() - side / 2.0);
        } else {
            triangle.moveTo(c.x() - side / 2.0, c.y() - side / 4.0);
            triangle.lineTo(c.x() + side / 2.0, c.y() - side / 4.0);
            triangle.lineTo(c.x(), c.y() + side / 2.0);
        }
        painter->setRenderHint(QPainter::Antialiasing);
        painter->fillPath(triangle, ink);
        textRect.adjust(0, 0, -12, 0);
    }
    painter->drawText(textRect, Qt::AlignCenter,
                      model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString());
    painter->restore();
}

namespace {

// A pick-list cell's editor. Typing chooses the first value that begins with the
// letters typed so far, without letter case (a pause starts a new search); when no
// value begins so, the cell's own value comes back: no match, no change.
class PickListEditor : public QComboBox {
public:
    using QComboBox::QComboBox;

    // The value the cell held when the editor opened.
    void setOriginal(int index) {
        original_ = index;
        setCurrentIndex(index);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const QString text = event->text();
        if (text.isEmpty() || !text.at(0).isPrint() ||
            (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            QComboBox::keyPressEvent(event);
            return;
        }
        if (!sinceKey_.isValid() || sinceKey_.elapsed() > QApplication::keyboardInputInterval()) {
            typed_.clear();
        }
        if (typed_.isEmpty() && text == QLatin1String(" ")) {
            QComboBox::keyPressEvent(event);  // Space opens the list
            return;
        }
        sinceKey_.start();
        typed_ += text;
        int match = -1;
        for (int i = 0; i < count(); ++i) {
            if (itemText(i).startsWith(typed_, Qt::CaseInsensitive)) {
                match = i;
                break;
            }
        }
        setCurrentIndex(match >= 0 ? match : original_);
        event->accept();
    }

private:
    QString typed_;
    QElapsedTimer sinceKey_;
    int original_ = -1;
};

}  // namespace

OrderListDelegate::OrderListDelegate(const QStringList& formatPickList, QObject* parent)
    : QStyledItemDelegate(parent), formatPickList_(formatPickList) {}

QStringList OrderListDelegate::pickList(int column) const {
    switch (order::columnField(column)) {
        case order::Field::Format:
            return formatPickList_;
        case order::Field::Param:
            return order::paramChoices();
        case order::Field::Paper:
            return order::paperChoices();
        default:
            return {};
    }
}

QWidget* OrderListDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
    switch (order::columnField(index.column())) {
        case order::Field::File:
            return nullptr;
        case order::Field::Count: {
            auto* line = new QLineEdit(parent);
            line->setFrame(false);
            line->setFont(option.font);
            return line;
        }
        default: {
            // A pick list: typing chooses the first value that begins with what was
            // typed, without letter case, so only the list's values can be set.
            auto* combo = new PickListEditor(parent);
            combo->setEditable(false);
            combo->setFont(option.font);
            combo->addItems(pickList(index.column()));
            return combo;
        }
    }
}

void OrderListDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* combo = dynamic_cast<PickListEditor*>(editor)) {
        combo->setOriginal(combo->findText(text, Qt::MatchFixedString));
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(text);
    }
}

void OrderListDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                     const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        if (combo->currentIndex() >= 0) {  // nothing chosen: the value stays
            model->setData(index, combo->currentText());
        }
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        model->setData(index, line->text());
    }
}

void OrderListDelegate::initStyleOption(QStyleOptionViewItem* option,
                                        const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.data(order::OrderListModel::WarningRole).toBool()) {
        const bool highlighted = option->state & QStyle::State_Selected;
        option->state &= ~QStyle::State_Selected;
        option->backgroundBrush = highlighted ? QColor(192, 192, 192) : QColor(255, 0, 0);
    }
}

void setUpOrderListView(QTableView& view) {
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);  // row selection at start
    view.setTabKeyNavigation(true);
    view.setFrameShape(QFrame::NoFrame);
    view.setShowGrid(true);
    view.setWordWrap(false);
    // Camera names differ at their ends: cut in the middle, the extension kept.
    view.setTextElideMode(Qt::ElideMiddle);
    // The columns always fill the list's width (FitColumns), so there is never
    // anything to scroll to sideways.
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont cells(QStringLiteral("Consolas"));
    cells.setPixelSize(11);
    view.setFont(cells);
    QPalette colours = view.palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    // The selection stays visible without the focus.
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    view.setPalette(colours);
    view.verticalHeader()->hide();
    view.verticalHeader()->setMinimumSectionSize(17);
    view.verticalHeader()->setDefaultSectionSize(17);
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int i = 0; i < order::kListColumnCount; ++i) {
        view.setColumnWidth(i, order::kListColumns.at(i).width);
    }
    view.horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Sorted by File ascending from the start, and shown so.
    view.horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    view.horizontalHeader()->setSortIndicatorShown(true);
}

std::vector<int> orderListColumnWidths(const QTableView& view, const OrderListDelegate& delegate) {
    // Every column but File as wide as it needs (its title, with the sort marker when
    // sorted by it, and its longest value), File the rest: camera names differ late in
    // the name, so the list shows as much of them as its width allows at every row count.
    const int available = view.viewport()->width();
    const QFontMetrics cells(view.font());
    const QFontMetrics titles(view.horizontalHeader()->font());
    constexpr int kMarker = 14;  // the sort marker beside a title
    constexpr int kLongestFormat = 120;
    std::vector<int> widths(order::kListColumnCount, 0);
    int file = 0;
    int others = 0;
    for (int i = 0; i < order::kListColumnCount; ++i) {
        const order::Field field = order::columnField(i);
        if (field == order::Field::File) {
            file = i;
            continue;
        }
        const bool sorted = view.horizontalHeader()->sortIndicatorSection() == i;
        int need = titles.horizontalAdvance(QString::fromUtf8(order::kListColumns.at(i).title)) +
                   8 + (sorted ? kMarker : 0);
        const QStringList values = field == order::Field::Count
                                       ? QStringList{QStringLiteral("9999")}
                                       : delegate.pickList(i);
        for (const QString& value : values) {
            need = std::max(need, std::min(kLongestFormat, cells.horizontalAdvance(value) + 10));
        }
        widths[static_cast<size_t>(i)] = need;
        others += need;
    }
    widths[static_cast<size_t>(file)] = std::max(40, available - others);
    return widths;
}
