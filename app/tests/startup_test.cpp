#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QWidget>
#include <stdexcept>

#include "app/Unit1.h"
#include "app/application.h"
#include "app/help.h"
#include "app/tests/appdialogs.h"
#include "app/tests/appfixture.h"
#include "images/ShowImage.h"
#include "order/testing/ordersamples.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/testing/userfolders.h"
#include "service/Session.h"
#include "upload/progress.h"

using testing_support::control;
using testing_support::readFile;
using testing_support::ScriptedDialogs;
using testing_support::UserFolders;
using testing_support::writeFile;

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

}  // namespace

TEST(StartUp, CreatesTheFiveWindowsWithTheirCaptions) {
    UserFolders folders;
    testing_support::storeFormats();
    ScriptedDialogs dialogs;
    Program program(dialogs);
    const std::vector<std::pair<QWidget*, QString>> windows = {
        {&program.form1(), QStringLiteral("\"КОРВЕЛЛА\" - Отправка файлов на печать")},
        {&program.form2(), QStringLiteral("Просмотр изображений")},
        {&program.form3(), QStringLiteral("Идет отправка файлов...")},
        {&program.formSession(), QStringLiteral("Старые загрузки")},
        {&program.frmHelp(), QStringLiteral("Информация")},
    };
    const QStringList names = {"TForm1", "TForm2", "TForm3", "TformSession", "TfrmHelp"};
    for (size_t i = 0; i < windows.size(); ++i) {
        EXPECT_EQ(windows[i].first->objectName(), names[static_cast<int>(i)]);
        EXPECT_EQ(windows[i].first->windowTitle(), windows[i].second);
    }
    EXPECT_EQ(program.state().SendTask, nullptr);
    EXPECT_EQ(program.state().Sort.field, order::Field::File);
    EXPECT_TRUE(program.state().Sort.ascending);
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST(StartUp, WithoutAnOrderFileTheListIsEmptyAndSendingIsOff) {
    UserFolders folders;
    testing_support::storeFormats();
    ScriptedDialogs dialogs;
    Program program(dialogs);
    order::OrderTable& table = program.state().Data;
    EXPECT_TRUE(table.isOpen());
    EXPECT_EQ(table.rowCount(), 0);
    EXPECT_EQ(table.fileName(), folders.workFolder() + QStringLiteral("Data.csv"));
    QAction* send = program.form1().findChild<QAction*>(QStringLiteral("actSend"));
    ASSERT_NE(send, nullptr);
    EXPECT_FALSE(send->isEnabled());
}

TEST(StartUp, RowsAreShownSortedAndSavedSortedAtExit) {
    UserFolders folders;
    testing_support::storeFormats();
    ASSERT_TRUE(QDir().mkpath(folders.workFolder()));
    const QString data = folders.workFolder() + QStringLiteral("Data.csv");
    writeFile(data, kBom + "File;Count\r\n/p/c.jpg;1\r\n/p/A.jpg;2\r\n/p/b.jpg;3\r\n");
    ScriptedDialogs dialogs;
    Program program(dialogs);
    order::OrderTable& table = program.state().Data;
    EXPECT_EQ(order::testing::filesOf(table), (QStringList{"/p/A.jpg", "/p/b.jpg", "/p/c.jpg"}));
    EXPECT_EQ(table.position(), 0);
    EXPECT_TRUE(control<QAction>(program.form1(), "actSend")->isEnabled());

    program.shutdown();
    EXPECT_EQ(readFile(data), kBom +
                                  "File;Count;Format;Param;Paper;Size;Width;Height\r\n"
                                  "/p/A.jpg;2\r\n/p/b.jpg;3\r\n/p/c.jpg;1\r\n");
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST(StartUp, TheSendCommandFollowsTheRowCount) {
    UserFolders folders;
    testing_support::storeFormats();
    ScriptedDialogs dialogs;
    Program program(dialogs);
    order::OrderTable& table = program.state().Data;
    table.append();
    table.setField(order::Field::File, QStringLiteral("/a.jpg"));
    table.post();
    EXPECT_TRUE(control<QAction>(program.form1(), "actSend")->isEnabled());
    table.empty();
    EXPECT_FALSE(control<QAction>(program.form1(), "actSend")->isEnabled());
}

TEST(StartUp, DamagedOrderFileIsReportedKeptAndAnEmptyListUsed) {
    UserFolders folders;
    testing_support::storeFormats();
    ASSERT_TRUE(QDir().mkpath(folders.workFolder()));
    const QString data = folders.workFolder() + QStringLiteral("Data.csv");
    const QByteArray damaged = kBom + "File;Colour\r\n/p/a.jpg;red\r\n";
    writeFile(data, damaged);
    ScriptedDialogs dialogs;
    {
        Program program(dialogs);
        EXPECT_TRUE(program.state().Data.isOpen());
        EXPECT_EQ(program.state().Data.rowCount(), 0);
    }
    ASSERT_EQ(dialogs.errors().size(), 1);
    EXPECT_EQ(dialogs.errors()[0],
              QStringLiteral("ProcessCsvHeaderRow: Field Colour found in file, but not in field "
                             "definitions\r\n\r\nФайл заказа сохранён как ") +
                  data + QStringLiteral(".damaged, список начат заново."));
    EXPECT_EQ(readFile(data + QStringLiteral(".damaged")), damaged);
}

TEST(Shutdown, AFailedSaveIsShown) {
    UserFolders folders;
    testing_support::storeFormats();
    ScriptedDialogs dialogs;
    Program program(dialogs);
    order::OrderTable& table = program.state().Data;
    table.append();
    table.setField(order::Field::File, QStringLiteral("/a.jpg"));
    table.post();
    // The working folder replaced by a plain file: the save cannot be made.
    ASSERT_TRUE(QDir(folders.workFolder()).removeRecursively());
    writeFile(folders.cacheHome() + QStringLiteral("/Korvella"), "x");
    program.shutdown();
    EXPECT_EQ(dialogs.errors(), QStringList{QStringLiteral("Unable to write to csv file ") +
                                            folders.workFolder() + QStringLiteral("Data.csv")});
}

namespace {

class Throwing : public QObject {
protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            throw std::runtime_error("Ошибка в обработчике");
        }
        return QObject::event(e);
    }
};

}  // namespace

TEST(GeneralErrorDisplay, AnUncaughtErrorIsShownWithItsText) {
    Throwing target;
    const size_t before = gAppDialogs->errors().size();
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    ASSERT_EQ(gAppDialogs->errors().size(), before + 1);
    EXPECT_EQ(gAppDialogs->errors().back(), QStringLiteral("Ошибка в обработчике"));
}
