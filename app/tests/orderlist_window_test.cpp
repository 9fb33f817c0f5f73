#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <vector>

#include "app/Unit1.h"
#include "app/application.h"
#include "app/tests/appfixture.h"
#include "images/ShowImage.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/testing/userfolders.h"

using testing_support::control;
using testing_support::ScriptedDialogs;
using testing_support::UserFolders;

namespace {

class ListWindow : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::storeFormats({"10x15", "30x20", "9x13"});
        program_ = std::make_unique<Program>(dialogs_);
        for (const char* file : {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg", "/p/d.jpg"}) {
            order::OrderRow row;
            row.file = QString::fromUtf8(file);
            row.count = 1;
            row.format = "10x15";
            row.param = "С полями";
            row.paper = "Матовая";
            row.width = 3000;
            row.height = 2000;
            table().appendSorted(row, order::Field::File, true);
        }
    }
    TForm1& form() { return program_->form1(); }
    order::OrderTable& table() { return program_->state().Data; }
    QMenu* submenu(const char* name) {
        return control<QMenu>(form(), "PopupMenu1")->findChild<QMenu*>(name);
    }
    void select(std::initializer_list<int> rows) {
        QItemSelectionModel* selection = control<QTableView>(form(), "DBGrid1")->selectionModel();
        selection->clear();
        for (const int row : rows) {
            selection->select(control<QTableView>(form(), "DBGrid1")->model()->index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    UserFolders folders_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<Program> program_;
};

}  // namespace

TEST_F(ListWindow, ChoicesFollowTheCatalogue) {
    const QList<QAction*> counts = submenu("N9")->actions();
    ASSERT_EQ(counts.size(), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(counts[i]->text(), QStringLiteral("%1 шт.").arg(i + 1));
        EXPECT_EQ(counts[i]->data().toInt(), i + 1);
    }
    const QList<QAction*> formats = submenu("N5")->actions();
    ASSERT_EQ(formats.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(formats[i]->text(), program_->state().Formats[static_cast<size_t>(i)].Name);
        EXPECT_EQ(formats[i]->data().toInt(), i);
    }
    EXPECT_EQ(program_->state().FormatPickList(), (QStringList{"10x15", "30x20", "9x13"}));
    EXPECT_EQ(submenu("N6")->actions().size(), 3);
    EXPECT_EQ(submenu("N7")->actions().size(), 2);
    EXPECT_EQ(control<QLabel>(form(), "Label1")->text(), "4");
    EXPECT_TRUE(submenu("N5")->menuAction()->isVisible());
    EXPECT_EQ(form().size(), QSize(678, 600));  // the list layout's size
}

TEST_F(ListWindow, BatchApplyWritesEverySelectedRowAndKeepsTheSelection) {
    select({0, 2, 3});
    submenu("N9")->actions()[1]->trigger();  // "2 шт."
    EXPECT_EQ(table().row(0).count, 2);
    EXPECT_EQ(table().row(1).count, 1);
    EXPECT_EQ(table().row(2).count, 2);
    EXPECT_EQ(table().row(3).count, 2);
    EXPECT_EQ(control<QTableView>(form(), "DBGrid1")->selectionModel()->selectedRows().size(), 3);
    submenu("N5")->actions()[2]->trigger();
    EXPECT_EQ(table().row(0).format, "9x13");
    select({});
    submenu("N9")->actions()[4]->trigger();
    EXPECT_EQ(table().row(1).count, 1);
}

TEST_F(ListWindow, TitleClicksAndDelete) {
    form().DBGrid1TitleClick(0);  // File, the current sort column: turned round
    EXPECT_FALSE(program_->state().Sort.ascending);
    EXPECT_EQ(table().row(0).file, "/p/d.jpg");
    form().DBGrid1TitleClick(2);  // another column: descending first
    EXPECT_EQ(program_->state().Sort.field, order::Field::Format);
    EXPECT_FALSE(program_->state().Sort.ascending);
    form().DBGrid1TitleClick(0);
    select({1, 3});
    form().actDelExecute();
    EXPECT_EQ(table().rowCount(), 2);
    EXPECT_EQ(table().position(), 1);
    EXPECT_EQ(control<QLabel>(form(), "Label1")->text(), "2");
}

TEST_F(ListWindow, ClearingDeletesTheOrderFileAtOnceAndHidesTheBatchMenus) {
    program_->state().Data.close();
    ASSERT_TRUE(table().open());
    ASSERT_TRUE(QFile::exists(table().fileName()));
    control<QMenu>(form(), "PopupMenu1")->findChild<QAction*>("N2")->trigger();
    EXPECT_FALSE(QFile::exists(table().fileName()));
    EXPECT_EQ(control<QLabel>(form(), "Label1")->text(), "0");
    EXPECT_FALSE(submenu("N5")->menuAction()->isVisible());
    EXPECT_FALSE(control<QTableView>(form(), "DBGrid1")->isEnabled());
    EXPECT_FALSE(control<QAction>(form(), "actSend")->isEnabled());
    EXPECT_EQ(form().size(), QSize(739, 437));  // the empty layout's size
}

TEST_F(ListWindow, NavigationIsDisabledAtTheEnds) {
    form().show();
    form().actFirstExecute();
    EXPECT_FALSE(form().findChild<QAction*>("actPrev")->isEnabled());
    EXPECT_FALSE(form().findChild<QAction*>("actFirst")->isEnabled());
    EXPECT_TRUE(form().findChild<QAction*>("actNext")->isEnabled());
    form().actLastExecute();
    EXPECT_FALSE(form().findChild<QAction*>("actNext")->isEnabled());
    EXPECT_FALSE(form().findChild<QAction*>("actLast")->isEnabled());
    EXPECT_TRUE(form().findChild<QAction*>("actPrev")->isEnabled());
    form().hide();
}

TEST_F(ListWindow, ATypedCountThatIsNoNumberIsRefusedWithTheMessage) {
    QAbstractItemModel* model = control<QTableView>(form(), "DBGrid1")->model();
    EXPECT_FALSE(model->setData(model->index(0, 1), QStringLiteral("abc")));
    EXPECT_FALSE(model->setData(model->index(0, 1), QStringLiteral("0")));
    EXPECT_FALSE(model->setData(model->index(0, 2), QStringLiteral("13x18")));
    EXPECT_EQ(dialogs_.errors(),
              QStringList{"'abc' is not a valid integer value for field 'Count'"});
    EXPECT_EQ(table().row(0).count, 1);
}

// The columns fill the list's width exactly, with few rows and with more than fit
// (when the vertical scroll bar takes its share); nothing scrolls sideways.
TEST_F(ListWindow, TheColumnsFillTheListAtEveryRowCount) {
    auto* list = control<QTableView>(form(), "DBGrid1");
    form().show();
    for (const int rows : {4, 40}) {
        SCOPED_TRACE(rows);
        for (int i = table().rowCount(); i < rows; ++i) {
            order::OrderRow row;
            row.file = QStringLiteral("/p/more%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
            row.count = 1;
            table().appendSorted(row, order::Field::File, true);
        }
        QCoreApplication::processEvents();
        int total = 0;
        for (int c = 0; c < list->model()->columnCount(); ++c) {
            total += list->columnWidth(c);
        }
        EXPECT_EQ(total, list->viewport()->width());
        EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
        EXPECT_EQ(list->verticalScrollBar()->isVisible(), rows == 40);
        // The longest choice shows whole, and every title with the sort marker.
        EXPECT_GE(list->columnWidth(3),
                  list->fontMetrics().horizontalAdvance(QStringLiteral("Подготовленный")) + 6);
        for (int c = 1; c < list->model()->columnCount(); ++c) {
            const QString title = list->model()->headerData(c, Qt::Horizontal).toString();
            EXPECT_GE(list->columnWidth(c),
                      list->horizontalHeader()->fontMetrics().horizontalAdvance(title) + 4)
                << title.toStdString();
        }
        // The file names get the rest: far more than the 88 pixels the list starts with.
        EXPECT_GE(list->columnWidth(0), 140);
    }
    // The sort marker shows from the start: File, ascending.
    EXPECT_TRUE(list->horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(list->horizontalHeader()->sortIndicatorSection(), 0);
    EXPECT_EQ(list->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    form().hide();
}

namespace {

// Counts how often a window shows, and closes it again at once (the viewer is modal).
class ShowCounter : public QObject {
public:
    explicit ShowCounter(QDialog& window) : window_(window) { window.installEventFilter(this); }
    int shows = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            ++shows;
            QTimer::singleShot(0, &window_, &QDialog::reject);
        }
        return false;
    }

private:
    QDialog& window_;
};

// Types text as a keyboard does: each key to the widget that has the focus then (the
// first opens the cell editor, the rest go to it), Cyrillic letters included.
void typeText(const QString& text) {
    for (const QChar c : text) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        const auto key =
            c.unicode() < 128 ? static_cast<Qt::Key>(c.toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Press, target, key, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, target, key, QString(c), Qt::NoModifier);
    }
}

}  // namespace

// Typing into a pick-list cell chooses from the list, without letter case, and
// replaces the value; Enter commits the edit instead of opening the viewer.
TEST_F(ListWindow, TypingIntoAPickListCellChoosesAndEnterCommits) {
    auto* list = control<QTableView>(form(), "DBGrid1");
    form().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form()));
    ShowCounter viewer(program_->form2());
    form().SetListEditing(true);
    struct Case {
        int column;
        const char* typed;
        QString stored;
    };
    const std::vector<Case> cases = {
        {2, "30X2", QStringLiteral("30x20")},
        {2, "99x99", QStringLiteral("30x20")},  // no format begins so: no change
        {2, "9", QStringLiteral("9x13")},
        {3, "Б", QStringLiteral("Без полей")},
        {4, "гл", QStringLiteral("Глянцевая")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        list->setFocus();
        list->setCurrentIndex(list->model()->index(1, c.column));
        typeText(QString::fromUtf8(c.typed));
        QWidget* editor = QApplication::focusWidget();
        ASSERT_TRUE(editor != nullptr && list->viewport()->isAncestorOf(editor)) << "no editor";
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();  // the list commits after the key
        EXPECT_FALSE(list->viewport()->isAncestorOf(QApplication::focusWidget()));
        EXPECT_EQ(list->model()->index(1, c.column).data(Qt::EditRole).toString(), c.stored);
        EXPECT_EQ(viewer.shows, 0) << "Enter opened the viewer";
        QTest::qWait(QApplication::keyboardInputInterval() + 100);  // a new search
    }
    EXPECT_TRUE(dialogs_.errors().isEmpty());
    // Enter with no editor open is the show-file command.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(viewer.shows, 1);
    form().hide();
}

// Whole-row selection while the viewer is open, cell selection with editing after it;
// a batch choice still reaches every row that has a selected cell.
TEST_F(ListWindow, EditingSelectsCellsAndTheBatchStillReachesTheirRows) {
    auto* list = control<QTableView>(form(), "DBGrid1");
    form().SetListEditing(false);
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    form().SetListEditing(true);
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectItems);
    QItemSelectionModel* selection = list->selectionModel();
    selection->clear();
    for (const int row : {0, 2}) {
        selection->select(list->model()->index(row, 3), QItemSelectionModel::Select);
    }
    QAction* glossy = submenu("N7")->actions().at(1);
    glossy->trigger();
    EXPECT_EQ(table().row(0).paper, QStringLiteral("Глянцевая"));
    EXPECT_EQ(table().row(1).paper, QStringLiteral("Матовая"));
    EXPECT_EQ(table().row(2).paper, QStringLiteral("Глянцевая"));
}
