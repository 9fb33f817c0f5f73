#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWidget>
#include <functional>
#include <stdexcept>
#include <vector>

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

// A second damaged file on a later start is kept beside the first, never over it.
TEST(StartUp, EveryDamagedOrderFileIsKept) {
    UserFolders folders;
    testing_support::storeFormats();
    ASSERT_TRUE(QDir().mkpath(folders.workFolder()));
    const QString data = folders.workFolder() + QStringLiteral("Data.csv");
    const QByteArray first = kBom + "File;Colour\r\n/p/a.jpg;red\r\n";
    const QByteArray second = kBom + "File;Shade\r\n/p/b.jpg;blue\r\n";
    ScriptedDialogs dialogs;
    writeFile(data, first);
    { Program program(dialogs); }
    writeFile(data, second);
    { Program program(dialogs); }
    EXPECT_EQ(readFile(data + QStringLiteral(".damaged")), first);
    EXPECT_EQ(readFile(data + QStringLiteral(".damaged.2")), second);
    ASSERT_EQ(dialogs.errors().size(), 2);
    EXPECT_TRUE(dialogs.errors()[1].endsWith(QStringLiteral("Файл заказа сохранён как ") + data +
                                             QStringLiteral(".damaged.2, список начат заново.")));
}

// What is not a regular file, or is far too large to be an order, is set aside unread:
// start-up neither blocks on a pipe nor reads a device or a huge file into memory.
TEST(StartUp, AnOrderFileThatIsNoOrderIsSetAsideUnread) {
    struct Case {
        const char* name;
        std::function<void(const QString&)> make;
        QString reason;
    };
    const std::vector<Case> cases = {
        {"a pipe",
         [](const QString& path) { ASSERT_EQ(::mkfifo(QFile::encodeName(path), 0600), 0); },
         QStringLiteral("не является обычным файлом")},
        {"a link to /dev/zero",
         [](const QString& path) { ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path)); },
         QStringLiteral("не является обычным файлом")},
        {"a folder", [](const QString& path) { ASSERT_TRUE(QDir().mkpath(path)); },
         QStringLiteral("не является обычным файлом")},
        {"a 65 MB file",
         [](const QString& path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             ASSERT_TRUE(file.resize(order::kMaxOrderFileBytes + 1));  // sparse: no disk used
         },
         QStringLiteral("больше 64 МБ")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UserFolders folders;
        testing_support::storeFormats();
        ASSERT_TRUE(QDir().mkpath(folders.workFolder()));
        const QString data = folders.workFolder() + QStringLiteral("Data.csv");
        c.make(data);
        ScriptedDialogs dialogs;
        {
            Program program(dialogs);
            EXPECT_TRUE(program.state().Data.isOpen());
            EXPECT_EQ(program.state().Data.rowCount(), 0);
        }
        ASSERT_EQ(dialogs.errors().size(), 1);
        EXPECT_TRUE(dialogs.errors()[0].contains(c.reason)) << dialogs.errors()[0].toStdString();
        EXPECT_TRUE(dialogs.errors()[0].contains(data + QStringLiteral(".damaged")));
        EXPECT_TRUE(QFileInfo(data + QStringLiteral(".damaged")).isSymLink() ||
                    QFileInfo::exists(data + QStringLiteral(".damaged")));
    }
}

// Without a private working folder the program says why and does not run: no order is
// read or written anywhere else (the current directory least of all).
TEST(StartUp, NoPrivateWorkingFolderNoRun) {
    UserFolders folders;
    testing_support::storeFormats();
    QTemporaryDir current;
    const QString before = QDir::currentPath();
    QDir::setCurrent(current.path());
    writeFile(folders.cacheHome() + QStringLiteral("/Korvella"), "x");
    ScriptedDialogs dialogs;
    {
        Program program(dialogs);
        EXPECT_FALSE(program.started());
        EXPECT_EQ(program.exec(), 1);
    }
    QDir::setCurrent(before);
    ASSERT_EQ(dialogs.errors().size(), 1);
    EXPECT_TRUE(dialogs.errors()[0].startsWith(QStringLiteral("Рабочую папку ") +
                                               folders.cacheHome() + QStringLiteral("/Korvella")))
        << dialogs.errors()[0].toStdString();
    EXPECT_EQ(QDir(current.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList());
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

// Qt's own texts speak the program's language: a box asking to abort, retry or ignore
// shows Qt's Russian captions, not the English ones.
TEST(StartUp, QtsOwnButtonsSpeakRussian) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Тест"), QStringLiteral("Ошибка"),
                    QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
    const std::vector<std::pair<QMessageBox::StandardButton, QString>> buttons = {
        {QMessageBox::Abort, QStringLiteral("Abort")},
        {QMessageBox::Retry, QStringLiteral("Retry")},
        {QMessageBox::Ignore, QStringLiteral("Ignore")},
    };
    for (const auto& [button, english] : buttons) {
        const QString shown = box.button(button)->text().remove(u'&');
        EXPECT_NE(shown, english);
        EXPECT_TRUE(shown.front() >= QChar(0x0410) && shown.front() <= QChar(0x044F))
            << shown.toStdString();
    }
    EXPECT_EQ(box.button(QMessageBox::Abort)->text().remove(u'&'), QStringLiteral("Прервать"));
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("ru.korvella.Korvella"));
    // The window icon is the program's own, at every size the theme has.
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    EXPECT_EQ(QApplication::windowIcon().actualSize(QSize(256, 256)), QSize(256, 256));
}
