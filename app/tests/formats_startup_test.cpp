#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTableView>
#include <QTcpServer>

#include "app/Unit1.h"
#include "app/application.h"
#include "app/tests/appfixture.h"
#include "formats/catalogue.h"
#include "formats/messages.h"
#include "labd/tests/labfixture.h"
#include "order/orderlistmodel.h"
#include "platform/settingsstore.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/testing/userfolders.h"

using testing_support::control;
using testing_support::ScriptedDialogs;
using testing_support::UserFolders;
namespace messages = formats::messages;

namespace {

const QString kWeb = QStringLiteral("http://lab.test/");

ProgramOptions at(const std::string& address) {
    return {QString::fromStdString(address), kWeb};
}

// An address where nothing listens.
std::string deadAddress() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return "127.0.0.1:" + std::to_string(probe.serverPort());
}

}  // namespace

TEST(FormatsAtStartUp, TheFirstStartDownloadsLaterStartsDoNot) {
    UserFolders folders;
    labd::testing::Lab lab;
    ScriptedDialogs dialogs;
    {
        Program program(dialogs, at(lab.address()));
        ASSERT_EQ(program.state().Formats.size(), 6u);
        EXPECT_EQ(program.state().Formats[0].Name, "10x15");  // the store's order
        EXPECT_EQ(program.state().Formats[0].Width_px, 1795);
        EXPECT_FALSE(program.state().terminateRequested);
    }
    EXPECT_EQ(lab.requests("format"), 1);
    {
        Program program(dialogs, at(lab.address()));
        EXPECT_EQ(program.state().Formats.size(), 6u);
        EXPECT_EQ(lab.requests("format"), 1);

        control<QAction>(program.form1(), "actUpdateFormats")->trigger();
        EXPECT_EQ(lab.requests("format"), 2);
        EXPECT_EQ(program.state().Formats.size(), 6u);
        EXPECT_FALSE(program.state().terminateRequested);
    }
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST(FormatsAtStartUp, NoFormatAndNoConnectionEndsTheProgram) {
    UserFolders folders;
    ScriptedDialogs dialogs;
    Program program(dialogs, at(deadAddress()));
    EXPECT_EQ(dialogs.errors(), (QStringList{messages::F1(), messages::L2(), messages::B1(kWeb)}));
    EXPECT_TRUE(program.state().terminateRequested);
    EXPECT_TRUE(program.state().Data.isOpen());  // the rest of start-up still ran
}

// A failed update says so once and changes nothing: the program runs on with the
// catalogue it had, and the store keeps it for the next start.
TEST(FormatsUpdate, WithoutAConnectionTheCatalogueStaysAndTheProgramRunsOn) {
    UserFolders folders;
    labd::testing::Lab lab;
    ScriptedDialogs dialogs;
    {
        Program program(dialogs, at(lab.address()));
        ASSERT_EQ(program.state().Formats.size(), 6u);
    }
    Program program(dialogs, at(deadAddress()));
    EXPECT_EQ(program.state().Formats.size(), 6u);  // from the store
    const QStringList pickList = program.state().FormatPickList();
    control<QAction>(program.form1(), "actUpdateFormats")->trigger();
    EXPECT_EQ(dialogs.errors(),
              QStringList{QStringLiteral(
                  "ПРОИЗОШЛА ОШИБКА ПОЛУЧЕНИЯ ДАННЫХ О ФОРМАТАХ ПЕЧАТИ!\r\nОшибка получения данных "
                  "о форматах из интернета.!\r\nПроверьте Ваше соединение с интернетом и "
                  "попробуйте еще раз.")});
    EXPECT_FALSE(program.state().terminateRequested);
    EXPECT_EQ(program.state().Formats.size(), 6u);
    EXPECT_EQ(program.state().FormatPickList(), pickList);

    ScriptedDialogs next;
    Program again(next, at(deadAddress()));
    EXPECT_EQ(again.state().Formats.size(), 6u);
    EXPECT_TRUE(next.shown().empty());
}

namespace {

// The stored catalogue with one Cost that does not read, as a damaged store holds it.
void damageStoredCost() {
    testing_support::storeFormats();
    platform::QSettingsStore store;
    store.setValue(formats::FormatsKey + QStringLiteral("\\9x13"), QStringLiteral("Cost"),
                   QStringLiteral("abc"));
}

const QString kCostMessage = QStringLiteral("'abc' is not a valid floating point value");

}  // namespace

// A stored catalogue that does not read is reported, then fetched anew as at a first
// start: the program runs on with the lab's formats in its lists.
TEST(FormatsAtStartUp, ADamagedStoredCatalogueIsReportedAndFetchedAnew) {
    UserFolders folders;
    damageStoredCost();
    labd::testing::Lab lab;
    ScriptedDialogs dialogs;
    Program program(dialogs, at(lab.address()));
    EXPECT_EQ(dialogs.errors(), QStringList{kCostMessage});
    EXPECT_EQ(lab.requests("format"), 1);
    ASSERT_EQ(program.state().Formats.size(), 6u);
    EXPECT_EQ(program.state().FormatPickList().size(), 6);
    auto* popup = control<QMenu>(program.form1(), "PopupMenu1");
    EXPECT_EQ(popup->findChild<QMenu*>("N5")->actions().size(), 6);
    EXPECT_FALSE(program.state().terminateRequested);
}

// When the new download fails too, the program ends as without formats.
TEST(FormatsAtStartUp, ADamagedCatalogueAndNoConnectionEndTheProgram) {
    UserFolders folders;
    damageStoredCost();
    ScriptedDialogs dialogs;
    Program program(dialogs, at(deadAddress()));
    EXPECT_EQ(dialogs.errors(),
              (QStringList{kCostMessage, messages::F1(), messages::L2(), messages::B1(kWeb)}));
    EXPECT_TRUE(program.state().terminateRequested);
    EXPECT_TRUE(program.state().Formats.empty());
}

// A successful update: the pick list and the batch submenu follow the new catalogue in
// the store's order with their tags, a row keeps a format the lab dropped, and the
// rows are shown again with their new verdicts.
TEST(FormatsUpdate, TheListsFollowTheNewCatalogueAndTheRowsAreShownAgain) {
    UserFolders folders;
    testing_support::storeFormats({"10x15", "9x13"});  // 150 dpi at least
    labd::ServiceOptions options;
    options.fixedAnswers["/index.php?option=com_photoprint&step=format"] = {
        200,
        "13x18:20:178:127:2102:1500:150;10x15:12.50:152:102:1795:1205:50;"
        "20x30:40:305:203:3602:2398:150"};
    labd::testing::Lab lab(options);
    ScriptedDialogs dialogs;
    Program program(dialogs, at(lab.address()));
    order::OrderTable& table = program.state().Data;
    for (const auto& [file, format] : {std::pair{"/p/a.jpg", "10x15"}, {"/p/b.jpg", "9x13"}}) {
        order::OrderRow row;
        row.file = QString::fromUtf8(file);
        row.count = 1;
        row.format = QString::fromUtf8(format);
        row.param = QStringLiteral("С полями");
        row.width = 640;  // 107 dpi at 152 mm
        row.height = 480;
        table.appendSorted(row, order::Field::File, true);
    }
    auto* list = control<QTableView>(program.form1(), "DBGrid1");
    QAbstractItemModel* model = list->model();
    EXPECT_TRUE(model->index(0, 0).data(order::OrderListModel::WarningRole).toBool());
    QSignalSpy shown(model, &QAbstractItemModel::dataChanged);

    control<QAction>(program.form1(), "actUpdateFormats")->trigger();
    QStringList names;
    for (const formats::TFormatsRecord& f : program.state().Formats) {
        names << f.Name;
    }
    EXPECT_EQ(names.size(), 3);
    EXPECT_EQ(program.state().FormatPickList(), names);
    const QList<QAction*> items =
        control<QMenu>(program.form1(), "PopupMenu1")->findChild<QMenu*>("N5")->actions();
    ASSERT_EQ(items.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(items[i]->text(), names[i]);
        EXPECT_EQ(items[i]->data().toInt(), i);
    }
    EXPECT_EQ(table.row(1).format, "9x13");  // dropped by the lab, kept by the row
    EXPECT_GT(shown.count(), 0);
    EXPECT_FALSE(model->index(0, 0).data(order::OrderListModel::WarningRole).toBool());
    EXPECT_TRUE(dialogs.errors().isEmpty());
}
