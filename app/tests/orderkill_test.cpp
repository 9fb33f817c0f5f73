// A program killed at any moment leaves the order it last saved whole: the order is
// saved as it changes, each save replacing the file whole.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QRandomGenerator>
#include <QTableView>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <cstdio>

#include "app/Unit1.h"
#include "app/application.h"
#include "app/tests/appfixture.h"
#include "app/tests/orderkill.h"
#include "order/ordertable.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/testing/userfolders.h"

namespace {

constexpr int kRows = 200;

QString rowFile(int i) {
    return QStringLiteral("/photos/%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
}

}  // namespace

int runOrderEditsHelper() {
    // The parent made the folders and the order; each edit sets a row's count through
    // the list, and every save is told on standard output.
    testing_support::ScriptedDialogs dialogs;
    Program program(dialogs);
    if (!program.started() || program.state().Data.rowCount() != kRows) {
        return 3;
    }
    auto* list = program.form1().findChild<QTableView*>(QStringLiteral("DBGrid1"));
    QAbstractItemModel* model = list->model();
    int lastEdit = -1;
    QObject::connect(&program.state().autoSave, &order::AutoSave::saved, [&] {
        std::printf("saved %d\n", lastEdit);
        std::fflush(stdout);
    });
    // An edit every few milliseconds, as a quick hand might make them: saves gather
    // several edits, and the kill falls before, during or after one.
    for (int i = 0; i < kRows; ++i) {
        if (!model->setData(model->index(i, 1), 1000 + i, Qt::EditRole)) {
            return 4;
        }
        lastEdit = i;
        QEventLoop wait;
        QTimer::singleShot(5, &wait, &QEventLoop::quit);
        wait.exec();
    }
    program.state().autoSave.saveNow();
    std::printf("done\n");
    std::fflush(stdout);
    return 0;
}

TEST(OrderFile, AKillAtAnyMomentLeavesTheLastSavedOrderWhole) {
    QRandomGenerator random(20261210);
    for (int run = 0; run < 10; ++run) {
        SCOPED_TRACE(run);
        testing_support::UserFolders folders;
        testing_support::storeFormats();
        ASSERT_TRUE(QDir().mkpath(folders.workFolder()));
        const QString data = folders.workFolder() + QStringLiteral("Data.csv");
        {
            order::OrderTable table;
            table.setFileName(data);
            ASSERT_TRUE(table.open());
            for (int i = 0; i < kRows; ++i) {
                table.append();
                table.setField(order::Field::File, rowFile(i));
                table.setField(order::Field::Count, 1);
                table.setField(order::Field::Format, QStringLiteral("10x15"));
                table.setField(order::Field::Param, QStringLiteral("С полями"));
                table.setField(order::Field::Paper, QStringLiteral("Матовая"));
                table.post();
            }
            ASSERT_TRUE(table.close());
        }
        QProcess helper;
        helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        helper.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--order-edits")});
        ASSERT_TRUE(helper.waitForStarted());
        // Killed once a random edit is saved, a random moment after.
        const int killAfter = static_cast<int>(random.bounded(kRows - 20));
        int lastSaved = -1;
        QByteArray pending;
        while (lastSaved < killAfter && helper.state() == QProcess::Running) {
            helper.waitForReadyRead(10000);
            pending += helper.readAllStandardOutput();
            qsizetype end;
            while ((end = pending.indexOf('\n')) >= 0) {
                const QByteArray line = pending.left(end);
                pending.remove(0, end + 1);
                if (line.startsWith("saved ")) {
                    lastSaved = line.mid(6).toInt();
                }
            }
        }
        ASSERT_EQ(helper.state(), QProcess::Running) << "the helper ended early";
        QThread::usleep(random.bounded(20000));
        helper.kill();
        helper.waitForFinished();
        pending += helper.readAllStandardOutput();
        for (const QByteArray& line : pending.split('\n')) {
            if (line.startsWith("saved ")) {
                lastSaved = line.mid(6).toInt();
            }
        }

        order::OrderTable table;
        table.setFileName(data);
        ASSERT_TRUE(table.open()) << table.errorString().toStdString();
        ASSERT_EQ(table.rowCount(), kRows);
        table.sort(order::Field::File, true);
        for (int i = 0; i < kRows; ++i) {
            const int count = table.row(i).value(order::Field::Count).toInt();
            EXPECT_EQ(table.row(i).file, rowFile(i));
            if (i <= lastSaved) {
                EXPECT_EQ(count, 1000 + i) << "row " << i << ", saved up to " << lastSaved;
            } else {
                EXPECT_TRUE(count == 1 || count == 1000 + i) << "row " << i;
            }
        }
    }
}
