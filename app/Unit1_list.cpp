// The main window's order list: the grid over the order table, its popup menu with the
// batch choices, and the list commands.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/Unit1.h"
#include "order/choices.h"
#include "order/listrules.h"
#include "order/orderlistmodel.h"
#include "platform/dialogs.h"

namespace {

QAction* command(QWidget* owner, const char* name, const QString& caption, const QString& hint,
                 const QKeySequence& shortcut = {}) {
    auto* action = new QAction(caption, owner);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(hint);
    action->setStatusTip(hint);
    action->setShortcut(shortcut);
    owner->addAction(action);
    return action;
}

constexpr order::Field kColumnFields[] = {order::Field::File, order::Field::Count,
                                          order::Field::Format, order::Field::Param,
                                          order::Field::Paper};

}  // namespace

void TForm1::CreateList() {
    model_ = new order::OrderListModel(Data, Formats, this);
    connect(model_, &order::OrderListModel::refused, this,
            [this](const QString& message) { dialogs_.showError(message); });

    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setToolTip(QStringLiteral("Список выбранных для загрузки файлов"));
    DBGrid1->setModel(model_);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);  // row selection at start
    DBGrid1->verticalHeader()->hide();
    DBGrid1->horizontalHeader()->setSectionsClickable(true);
    DBGrid1->horizontalHeader()->setHighlightSections(false);
    const int widths[] = {88, 94, 94, 92, 85};
    for (int i = 0; i < 5; ++i) {
        DBGrid1->setColumnWidth(i, widths[i]);
    }
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TForm1::DBGrid1TitleClick);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    // Until the window's own layouts come: the count above the list.
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(DBGrid1);

    actDel = command(this, "actDel", QStringLiteral("Удалить файлы"),
                     QStringLiteral("Удалить выбранные файлы из списка"), QKeySequence::Delete);
    actSelAll = command(this, "actSelAll", QStringLiteral("Выделить всё"),
                        QStringLiteral("Выделить все файлы в списке"));
    actPrev = command(this, "actPrev", QStringLiteral("<"),
                      QStringLiteral("Перейти к предыдущему файлу в списке"));
    actNext = command(this, "actNext", QStringLiteral(">"),
                      QStringLiteral("Перейти к следующему файлу в списке"));
    actFirst = command(this, "actFirst", QStringLiteral("<<"),
                       QStringLiteral("Перейти к первому файлу в списке"), Qt::Key_Home);
    actLast = command(this, "actLast", QStringLiteral(">>"),
                      QStringLiteral("Перейти к последнему файлу в списке"), Qt::Key_End);
    connect(actDel, &QAction::triggered, this, &TForm1::actDelExecute);
    connect(actSelAll, &QAction::triggered, this, &TForm1::actSelAllExecute);
    connect(actPrev, &QAction::triggered, this, &TForm1::actPrevExecute);
    connect(actNext, &QAction::triggered, this, &TForm1::actNextExecute);
    connect(actFirst, &QAction::triggered, this, &TForm1::actFirstExecute);
    connect(actLast, &QAction::triggered, this, &TForm1::actLastExecute);

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
    N1->setToolTip(QStringLiteral("Удалить из списка все выбранные файлы"));
    connect(N1, &QAction::triggered, this, &TForm1::actDelExecute);
    QAction* N2 = PopupMenu1->addAction(QStringLiteral("Очистить список"));
    N2->setObjectName(QStringLiteral("N2"));
    connect(N2, &QAction::triggered, this, &TForm1::N2Click);
    for (QMenu* submenu : {N5, N6, N7, N9}) {
        connect(submenu, &QMenu::triggered, this, &TForm1::ApplyToSelected);
    }
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(at)); });
}

void TForm1::BuildFormatChoices() {
    FormatPickList.clear();
    N5->clear();
    for (size_t i = 0; i < Formats.size(); ++i) {
        FormatPickList << Formats[i].Name;
        N5->addAction(Formats[i].Name)->setData(static_cast<int>(i));
    }
    N6->clear();
    const QStringList params = order::paramChoices();
    for (int i = 0; i < params.size(); ++i) {
        N6->addAction(params[i])->setData(i);
    }
    N7->clear();
    const QStringList papers = order::paperChoices();
    for (int i = 0; i < papers.size(); ++i) {
        N7->addAction(papers[i])->setData(i);
    }
}

void TForm1::BuildCountChoices() {
    N9->clear();
    for (int n = 1; n <= 10; ++n) {
        N9->addAction(QStringLiteral("%1 шт.").arg(n))->setData(n);
    }
}

std::vector<int> TForm1::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : DBGrid1->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TForm1::DBGrid1TitleClick(int column) {
    Sort.titleClicked(kColumnFields[column]);
    Data.sort(Sort.field, Sort.ascending);
    DBGrid1->horizontalHeader()->setSortIndicator(
        column, Sort.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    DBGrid1->horizontalHeader()->setSortIndicatorShown(true);
}

void TForm1::ApplyToSelected(QAction* item) {
    const std::vector<int> selection = SelectedRows();
    if (selection.empty()) {
        return;
    }
    const int tag = item->data().toInt();
    const QMenu* menu = qobject_cast<QMenu*>(item->parent());
    if (menu == N5) {
        order::applyToSelected(Data, selection, order::Field::Format, FormatPickList.value(tag));
    } else if (menu == N6) {
        order::applyToSelected(Data, selection, order::Field::Param,
                               order::paramChoices().value(tag));
    } else if (menu == N7) {
        order::applyToSelected(Data, selection, order::Field::Paper,
                               order::paperChoices().value(tag));
    } else if (menu == N9) {
        order::applyToSelected(Data, selection, order::Field::Count, tag);
    }
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
