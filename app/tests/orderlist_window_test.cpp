#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QTableView>

#include "app/Unit1.h"
#include "app/application.h"
#include "app/tests/appfixture.h"
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
