#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
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
