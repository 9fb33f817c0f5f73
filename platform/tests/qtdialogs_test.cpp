#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <thread>

#include "platform/qtdialogs.h"

namespace {

// Answers the next credentials dialog that opens: types the user name and password and
// confirms, noting the thread the dialog lives on.
void answerNextDialog(const QString& user, const QString& password, QThread** dialogThread) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        *dialogThread = dialog->thread();
        dialog->findChild<QLineEdit*>(QStringLiteral("user"))->setText(user);
        dialog->findChild<QLineEdit*>(QStringLiteral("password"))->setText(password);
        dialog->accept();
        timer->stop();
        timer->deleteLater();
    });
    timer->start(20);
}

}  // namespace

TEST(QtDialogs, CredentialsAskedFromAWorkerAreShownOnTheUserInterfaceThread) {
    platform::QtDialogs dialogs(QStringLiteral("Test"));
    QThread* dialogThread = nullptr;
    answerNextDialog(QStringLiteral("ivan"), QStringLiteral("secret"), &dialogThread);

    std::optional<platform::Dialogs::Credentials> answer;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        answer = dialogs.askCredentials({true, QStringLiteral("http://proxy:3128"), QString()});
        done = true;
    });
    while (!done) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    worker.join();

    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->user, QStringLiteral("ivan"));
    EXPECT_EQ(answer->password, QStringLiteral("secret"));
    EXPECT_EQ(dialogThread, qApp->thread());
}

TEST(QtDialogs, CancelGivesNothing) {
    platform::QtDialogs dialogs(QStringLiteral("Test"));
    QTimer::singleShot(50, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->reject();
        }
    });
    EXPECT_FALSE(dialogs.askCredentials({false, QStringLiteral("lab"), QStringLiteral("labd")}));
}

// A message box asked from the upload worker comes up on the user-interface thread and
// gives the worker the answer chosen there.
TEST(QtDialogs, MessageBoxesAskedFromAWorkerAreShownOnTheUserInterfaceThread) {
    platform::QtDialogs dialogs(QStringLiteral("Test"));
    QThread* boxThread = nullptr;
    QString shownText;
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [&, timer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        boxThread = box->thread();
        shownText = box->text();
        box->button(QMessageBox::Retry)->click();
        timer->stop();
        timer->deleteLater();
    });
    timer->start(20);

    std::optional<platform::Dialogs::Answer> answer;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        answer = dialogs.askAbortRetryIgnore(QStringLiteral("Ошибка передачи"));
        done = true;
    });
    while (!done) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    worker.join();

    EXPECT_EQ(answer, platform::Dialogs::Answer::Retry);
    EXPECT_EQ(shownText, QStringLiteral("Ошибка передачи"));
    EXPECT_EQ(boxThread, qApp->thread());
}
