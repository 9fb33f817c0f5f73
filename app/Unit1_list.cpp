// The main window's order list: the grid over the order table, its popup menu with the
// batch choices, and the list commands.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <functional>
#include <tuple>

#include "app/Unit1.h"
#include "app/artwork/windowgeometry.h"
#include "app/listviewportevents.h"
#include "app/orderlistview.h"
#include "app/photohint.h"
#include "order/choices.h"
#include "order/listcolumns.h"
#include "order/listrules.h"
#include "order/orderlistmodel.h"
#include "platform/dialogs.h"

void TForm1::CreateList() {
    model_ = new order::OrderListModel(Data, Formats, this);
    connect(model_, &order::OrderListModel::refused, this,
            [this](const QString& message) { dialogs_.showError(message); });

    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(geometry::DBGrid1);
    DBGrid1->setToolTip(QStringLiteral("Список выбранных для загрузки файлов"));
    DBGrid1->setHorizontalHeader(new ListHeader(DBGrid1));
    DBGrid1->setModel(model_);
    delegate_ = new OrderListDelegate(state_.FormatPickList(), DBGrid1);
    photoHint_ = new PhotoHint(DBGrid1->viewport());
    // The pointer's moves hide the photo's hint once it leaves its cell.
    DBGrid1->viewport()->setMouseTracking(true);
    new ListViewportEvents(
        *DBGrid1->viewport(),
        {[this] { FitColumns(); }, [this](QPoint global) { photoHint_->follow(global); },
         [this] { photoHint_->hide(); }, [this](QWheelEvent* wheel) { DBGrid1MouseWheel(wheel); },
         [this](QHelpEvent* hint) {
             if (Data.rowCount() == 0) {
                 return false;
             }
             ShowCellHint(hint);
             return true;
         }});
    DBGrid1->setItemDelegate(delegate_);
    setUpOrderListView(*DBGrid1);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TForm1::DBGrid1TitleClick);
    // The list's current row is the table's cursor.
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && current.row() != Data.position()) {
                    Data.gotoBookmark(current.row());
                }
            });

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N5 = PopupMenu1->addMenu(QStringLiteral("Формат печати для выбранных"));
    N5->setObjectName(QStringLiteral("N5"));
    N6 = PopupMenu1->addMenu(QStringLiteral("Параметры печати для выбранных"));
    N6->setObjectName(QStringLiteral("N6"));
    N7 = PopupMenu1->addMenu(QStringLiteral("Тип бумаги для выбранных"));
    N7->setObjectName(QStringLiteral("N7"));
    N9 = PopupMenu1->addMenu(QStringLiteral("Количество"));
    N9->setObjectName(QStringLiteral("N9"));
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N8"));
    QAction* N4 = PopupMenu1->addAction(QStringLiteral("Выделить всё"));
    N4->setObjectName(QStringLiteral("N4"));
    N4->setToolTip(QStringLiteral("Выделить все файлы в списке"));
    N4->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    addAction(N4);
    connect(N4, &QAction::triggered, this, &TForm1::actSelAllExecute);
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N3"));
    QAction* N1 = PopupMenu1->addAction(QStringLiteral("Удалить выбранные файлы"));
    N1->setObjectName(QStringLiteral("N1"));
    // Shown in the menu; the key itself is actDel's, so the item's own shortcut acts
    // only while the menu has the focus.
    N1->setShortcut(QKeySequence::Delete);
    N1->setShortcutContext(Qt::WidgetShortcut);
    N1->setToolTip(QStringLiteral("Удалить из списка все выбранные файлы"));
    connect(N1, &QAction::triggered, this, &TForm1::actDelExecute);
    QAction* N2 = PopupMenu1->addAction(QStringLiteral("Очистить список"));
    N2->setObjectName(QStringLiteral("N2"));
    connect(N2, &QAction::triggered, this, &TForm1::N2Click);
    // The batch menus, one table: the field each writes, and the value an item's tag
    // stands for (a position in the pick list; the Count menu's tag is the count).
    const std::tuple<QMenu*, order::Field, std::function<QVariant(int)>> batches[] = {
        {N5, order::Field::Format, [this](int tag) { return state_.FormatPickList().value(tag); }},
        {N6, order::Field::Param, [](int tag) { return order::paramChoices().value(tag); }},
        {N7, order::Field::Paper, [](int tag) { return order::paperChoices().value(tag); }},
        {N9, order::Field::Count, [](int tag) { return QVariant(tag); }}};
    for (const auto& [submenu, field, valueOf] : batches) {
        connect(submenu, &QMenu::triggered, this, [this, field, valueOf](QAction* item) {
            ApplyToSelected(field, valueOf(item->data().toInt()));
        });
    }
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(at)); });
}

void TForm1::BuildFormatChoices() {
    state_.updateFormatPickList();
    const std::pair<QMenu*, QStringList> choices[] = {
        {N5, state_.FormatPickList()}, {N6, order::paramChoices()}, {N7, order::paperChoices()}};
    for (const auto& [submenu, values] : choices) {
        submenu->clear();
        for (int i = 0; i < values.size(); ++i) {
            submenu->addAction(values[i])->setData(i);  // the tag: its pick-list position
        }
    }
}

void TForm1::BuildCountChoices() {
    N9->clear();
    for (int n = 1; n <= 10; ++n) {
        N9->addAction(QStringLiteral("%1 шт.").arg(n))->setData(n);
    }
}

std::vector<int> TForm1::SelectedRows() const {
    // A row counts as selected when any of its cells is (cell selection while editing).
    std::vector<int> rows;
    for (const QModelIndex& index : DBGrid1->selectionModel()->selectedIndexes()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void TForm1::DBGrid1TitleClick(int column) {
    state_.sortByTitle(order::columnField(column));
    DBGrid1->horizontalHeader()->setSortIndicator(
        column, Sort.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    DBGrid1->horizontalHeader()->setSortIndicatorShown(true);
    FitColumns();  // the marker's room moves with it
}

void TForm1::ApplyToSelected(order::Field field, const QVariant& value) {
    const std::vector<int> selection = SelectedRows();
    if (selection.empty()) {
        return;
    }
    order::applyToSelected(Data, selection, field, value);
    // The selection stays as it was.
    for (const int row : selection) {
        DBGrid1->selectionModel()->select(model_->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void TForm1::actDelExecute() {
    order::deleteSelected(Data, SelectedRows());
    DBGrid1->clearSelection();
}

void TForm1::actSelAllExecute() {
    DBGrid1->selectAll();
}

void TForm1::N2Click() {
    Data.empty();
}

void TForm1::actPrevExecute() {
    DBGrid1->clearSelection();
    Data.prior();
}

void TForm1::actNextExecute() {
    DBGrid1->clearSelection();
    Data.next();
}

void TForm1::actFirstExecute() {
    DBGrid1->clearSelection();
    Data.first();
}

void TForm1::actLastExecute() {
    DBGrid1->clearSelection();
    Data.last();
}

void TForm1::FollowCursor() {
    const int position = Data.position();
    if (position < 0 || position >= model_->rowCount()) {
        return;
    }
    const QModelIndex current = DBGrid1->currentIndex();
    if (current.row() != position) {
        DBGrid1->selectionModel()->setCurrentIndex(
            model_->index(position, current.isValid() ? current.column() : 0),
            QItemSelectionModel::NoUpdate);
    }
}

void TForm1::FitColumns() {
    const std::vector<int> widths = orderListColumnWidths(*DBGrid1, *delegate_);
    for (int i = 0; i < static_cast<int>(widths.size()); ++i) {
        DBGrid1->setColumnWidth(i, widths[static_cast<size_t>(i)]);
    }
}

void TForm1::SetListEditing(bool editing) {
    // Editing selects cells, row selection whole rows.
    DBGrid1->setSelectionBehavior(editing ? QAbstractItemView::SelectItems
                                          : QAbstractItemView::SelectRows);
    DBGrid1->setEditTriggers(editing ? QAbstractItemView::EditKeyPressed |
                                           QAbstractItemView::AnyKeyPressed |
                                           QAbstractItemView::SelectedClicked
                                     : QAbstractItemView::NoEditTriggers);
}

void TForm1::DBGrid1MouseWheel(QWheelEvent* event) {
    // Notches of 120; a fine-grained wheel adds up until one is full.
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / 120;
    wheelRemainder_ %= 120;
    DBGrid1->clearSelection();
    DBGrid1->setFocus();
    if (notches == 0) {
        return;
    }
    int step = 2;
    if (event->modifiers() & Qt::ShiftModifier) {
        step = 1;
    } else if (event->modifiers() & Qt::ControlModifier) {
        step = DBGrid1->viewport()->height() / DBGrid1->verticalHeader()->defaultSectionSize() - 1;
    }
    // Turning the wheel towards the user moves down the list.
    Data.moveBy(-notches * step);
}

std::pair<QString, int> TForm1::DBGrid1ShowCellHint(const QModelIndex& cell) const {
    if (!cell.isValid() || Data.rowCount() == 0) {
        return {};
    }
    const QString hint = cell.data(Qt::ToolTipRole).toString();
    if (order::columnField(cell.column()) == order::Field::File) {
        return {hint, 0};
    }
    if (!hint.isEmpty()) {
        return {hint, 3000};
    }
    // Otherwise the cell's own text, when it does not fit its column.
    const QString text = cell.data(Qt::DisplayRole).toString();
    const QRect place = DBGrid1->visualRect(cell);
    const int room =
        place.width() - 2 * (DBGrid1->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    if (QFontMetrics(DBGrid1->font()).horizontalAdvance(text) > room) {
        return {text, 3000};
    }
    return {};
}

void TForm1::ShowCellHint(QHelpEvent* event) {
    const QModelIndex cell = DBGrid1->indexAt(event->pos());
    const auto [hint, timeout] = DBGrid1ShowCellHint(cell);
    if (hint.isEmpty()) {
        QToolTip::hideText();
        photoHint_->hide();
        return;
    }
    if (order::columnField(cell.column()) == order::Field::File) {
        QToolTip::hideText();
        const QRect place = DBGrid1->visualRect(cell);
        photoHint_->showFor(Data.row(cell.row()).file, hint, event->globalPos(),
                            QRect(DBGrid1->viewport()->mapToGlobal(place.topLeft()), place.size()));
        return;
    }
    photoHint_->hide();
    QToolTip::showText(event->globalPos(), hint, DBGrid1->viewport(), DBGrid1->visualRect(cell),
                       timeout);
}
