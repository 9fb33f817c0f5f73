#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBoundaryFinder>
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

// A message that ends in the lab's address: the box may wrap before the address but
// never inside it, and shows the same characters.
TEST(QtDialogs, WebAddressesAreNotBrokenAcrossLines) {
    const QString text = QStringLiteral(
        "Ошибка загрузки форматов печати, свяжитесь с нами по адресу "
        "http://www.lab-site.example/contacts?x=1 или позвоните.");
    const QString shown = platform::unbrokenAddresses(text);
    EXPECT_EQ(QString(shown).remove(QChar(0x2060)), text);
    const qsizetype start = text.indexOf(QStringLiteral("http://"));
    const qsizetype end = text.indexOf(QStringLiteral(" или"));
    // Where a line may break, counted in the text without the joiners.
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, shown);
    qsizetype shownAt = 0;
    qsizetype textAt = 0;
    for (qsizetype at = breaks.toNextBoundary(); at != -1; at = breaks.toNextBoundary()) {
        for (; shownAt < at; ++shownAt) {
            if (shown[shownAt] != QChar(0x2060)) {
                ++textAt;
            }
        }
        EXPECT_FALSE(textAt > start && textAt < end) << "a break at " << textAt;
    }
}
