#include "app/orderlistview.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>

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
