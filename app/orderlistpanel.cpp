#include "app/orderlistpanel.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QStyle>
#include <QTableView>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <functional>
#include <tuple>

#include "app/artwork/windowgeometry.h"
#include "app/listviewportevents.h"
#include "app/orderlistview.h"
#include "app/photohint.h"
#include "app/programstate.h"
#include "order/choices.h"
#include "order/listcolumns.h"
#include "order/listrules.h"
#include "order/orderlistmodel.h"
#include "platform/dialogs.h"

OrderListPanel::OrderListPanel(QWidget& window, ProgramState& state, platform::Dialogs& dialogs,
                               Commands commands)
    : QObject(&window), state_(state), commands_(std::move(commands)) {
    createView(window, dialogs);
    createPopup(window);
}

void OrderListPanel::createView(QWidget& window, platform::Dialogs& dialogs) {
    model_ = new order::OrderListModel(state_.Data, state_.Formats, this);
    connect(model_, &order::OrderListModel::refused, this,
            [&dialogs](const QString& message) { dialogs.showError(message); });

    view_ = new QTableView(&window);
    view_->setObjectName(QStringLiteral("DBGrid1"));
    view_->setGeometry(geometry::DBGrid1);
    view_->setToolTip(QStringLiteral("Список выбранных для загрузки файлов"));
    view_->setHorizontalHeader(new ListHeader(view_));
    view_->setModel(model_);
    delegate_ = new OrderListDelegate(state_.FormatPickList(), view_);
    photoHint_ = new PhotoHint(view_->viewport());
    // The pointer's moves hide the photo's hint once it leaves its cell.
    view_->viewport()->setMouseTracking(true);
    new ListViewportEvents(
        *view_->viewport(),
        {[this] { fitColumns(); }, [this](QPoint global) { photoHint_->follow(global); },
         [this] { photoHint_->hide(); }, [this](QWheelEvent* event) { wheel(event); },
         [this](QHelpEvent* hint) {
             if (state_.Data.rowCount() == 0) {
                 return false;
             }
             showCellHint(hint);
             return true;
         }});
    view_->setItemDelegate(delegate_);
    setUpOrderListView(*view_);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &OrderListPanel::titleClick);
    // The list's current row is the table's cursor.
    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && current.row() != state_.Data.position()) {
                    state_.Data.gotoBookmark(current.row());
                }
            });
}

void OrderListPanel::createPopup(QWidget& window) {
    popup_ = new QMenu(&window);
    popup_->setObjectName(QStringLiteral("PopupMenu1"));
    formatMenu_ = popup_->addMenu(QStringLiteral("Формат печати для выбранных"));
    formatMenu_->setObjectName(QStringLiteral("N5"));
    paramMenu_ = popup_->addMenu(QStringLiteral("Параметры печати для выбранных"));
    paramMenu_->setObjectName(QStringLiteral("N6"));
    paperMenu_ = popup_->addMenu(QStringLiteral("Тип бумаги для выбранных"));
    paperMenu_->setObjectName(QStringLiteral("N7"));
    countMenu_ = popup_->addMenu(QStringLiteral("Количество"));
    countMenu_->setObjectName(QStringLiteral("N9"));
    popup_->addSeparator()->setObjectName(QStringLiteral("N8"));
    QAction* N4 = popup_->addAction(QStringLiteral("Выделить всё"));
    N4->setObjectName(QStringLiteral("N4"));
    N4->setToolTip(QStringLiteral("Выделить все файлы в списке"));
    N4->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    window.addAction(N4);
    connect(N4, &QAction::triggered, this, [this] { commands_.selectAll(); });
    popup_->addSeparator()->setObjectName(QStringLiteral("N3"));
    QAction* N1 = popup_->addAction(QStringLiteral("Удалить выбранные файлы"));
    N1->setObjectName(QStringLiteral("N1"));
    // Shown in the menu; the key itself is actDel's, so the item's own shortcut acts
    // only while the menu has the focus.
    N1->setShortcut(QKeySequence::Delete);
    N1->setShortcutContext(Qt::WidgetShortcut);
    N1->setToolTip(QStringLiteral("Удалить из списка все выбранные файлы"));
    connect(N1, &QAction::triggered, this, [this] { commands_.deleteSelected(); });
    QAction* N2 = popup_->addAction(QStringLiteral("Очистить список"));
    N2->setObjectName(QStringLiteral("N2"));
    connect(N2, &QAction::triggered, this, [this] { commands_.clear(); });
    // The batch menus, one table: the field each writes, and the value an item's tag
    // stands for (a position in the pick list; the Count menu's tag is the count).
    const std::tuple<QMenu*, order::Field, std::function<QVariant(int)>> batches[] = {
        {formatMenu_, order::Field::Format,
         [this](int tag) { return state_.FormatPickList().value(tag); }},
        {paramMenu_, order::Field::Param, [](int tag) { return order::paramChoices().value(tag); }},
        {paperMenu_, order::Field::Paper, [](int tag) { return order::paperChoices().value(tag); }},
        {countMenu_, order::Field::Count, [](int tag) { return QVariant(tag); }}};
    for (const auto& [submenu, field, valueOf] : batches) {
        connect(submenu, &QMenu::triggered, this, [this, field, valueOf](QAction* item) {
            applyToSelected(field, valueOf(item->data().toInt()));
        });
    }
    connect(view_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popup_->popup(view_->viewport()->mapToGlobal(at)); });
}

void OrderListPanel::buildFormatChoices() {
    state_.updateFormatPickList();
    const std::pair<QMenu*, QStringList> choices[] = {{formatMenu_, state_.FormatPickList()},
                                                      {paramMenu_, order::paramChoices()},
                                                      {paperMenu_, order::paperChoices()}};
    for (const auto& [submenu, values] : choices) {
        submenu->clear();
        for (int i = 0; i < values.size(); ++i) {
            submenu->addAction(values[i])->setData(i);  // the tag: its pick-list position
        }
    }
}

void OrderListPanel::buildCountChoices() {
    countMenu_->clear();
    for (int n = 1; n <= 10; ++n) {
        countMenu_->addAction(QStringLiteral("%1 шт.").arg(n))->setData(n);
    }
}

std::vector<int> OrderListPanel::selectedRows() const {
    // A row counts as selected when any of its cells is (cell selection while editing).
    std::vector<int> rows;
    for (const QModelIndex& index : view_->selectionModel()->selectedIndexes()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void OrderListPanel::titleClick(int column) {
    state_.sortByTitle(order::columnField(column));
    view_->horizontalHeader()->setSortIndicator(
        column, state_.Sort.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    view_->horizontalHeader()->setSortIndicatorShown(true);
    fitColumns();  // the marker's room moves with it
}

void OrderListPanel::applyToSelected(order::Field field, const QVariant& value) {
    const std::vector<int> selection = selectedRows();
    if (selection.empty()) {
        return;
    }
    order::applyToSelected(state_.Data, selection, field, value);
    // The selection stays as it was.
    for (const int row : selection) {
        view_->selectionModel()->select(model_->index(row, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void OrderListPanel::followCursor() {
    const int position = state_.Data.position();
    if (position < 0 || position >= model_->rowCount()) {
        return;
    }
    const QModelIndex current = view_->currentIndex();
    if (current.row() != position) {
        view_->selectionModel()->setCurrentIndex(
            model_->index(position, current.isValid() ? current.column() : 0),
            QItemSelectionModel::NoUpdate);
    }
}

void OrderListPanel::fitColumns() {
    const std::vector<int> widths = orderListColumnWidths(*view_, *delegate_);
    for (int i = 0; i < static_cast<int>(widths.size()); ++i) {
        view_->setColumnWidth(i, widths[static_cast<size_t>(i)]);
    }
}

void OrderListPanel::setEditing(bool editing) {
    // Editing selects cells, row selection whole rows.
    view_->setSelectionBehavior(editing ? QAbstractItemView::SelectItems
                                        : QAbstractItemView::SelectRows);
    view_->setEditTriggers(editing ? QAbstractItemView::EditKeyPressed |
                                         QAbstractItemView::AnyKeyPressed |
                                         QAbstractItemView::SelectedClicked
                                   : QAbstractItemView::NoEditTriggers);
}

void OrderListPanel::wheel(QWheelEvent* event) {
    // Notches of 120; a fine-grained wheel adds up until one is full.
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / 120;
    wheelRemainder_ %= 120;
    view_->clearSelection();
    view_->setFocus();
    if (notches == 0) {
        return;
    }
    int step = 2;
    if (event->modifiers() & Qt::ShiftModifier) {
        step = 1;
    } else if (event->modifiers() & Qt::ControlModifier) {
        step = view_->viewport()->height() / view_->verticalHeader()->defaultSectionSize() - 1;
    }
    // Turning the wheel towards the user moves down the list.
    state_.Data.moveBy(-notches * step);
}

std::pair<QString, int> OrderListPanel::cellHint(const QModelIndex& cell) const {
    if (!cell.isValid() || state_.Data.rowCount() == 0) {
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
    const QRect place = view_->visualRect(cell);
    const int room =
        place.width() - 2 * (view_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    if (QFontMetrics(view_->font()).horizontalAdvance(text) > room) {
        return {text, 3000};
    }
    return {};
}

void OrderListPanel::showCellHint(QHelpEvent* event) {
    const QModelIndex cell = view_->indexAt(event->pos());
    const auto [hint, timeout] = cellHint(cell);
    if (hint.isEmpty()) {
        QToolTip::hideText();
        photoHint_->hide();
        return;
    }
    if (order::columnField(cell.column()) == order::Field::File) {
        QToolTip::hideText();
        const QRect place = view_->visualRect(cell);
        photoHint_->showFor(state_.Data.row(cell.row()).file, hint, event->globalPos(),
                            QRect(view_->viewport()->mapToGlobal(place.topLeft()), place.size()));
        return;
    }
    photoHint_->hide();
    QToolTip::showText(event->globalPos(), hint, view_->viewport(), view_->visualRect(cell),
                       timeout);
}
