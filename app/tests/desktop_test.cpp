// On a real desktop: an X server with a window manager (scripts/with-desktop.sh runs
// these tests so), where the window manager, not the program, decides which window lies
// above which. The progress window stays on top; the questions asked during an upload
// must still come up above it, or the customer waits for an answer nobody can give.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/Unit1.h"
#include "app/application.h"
#include "app/tests/appfixture.h"
#include "images/ShowImage.h"
#include "labd/tests/labfixture.h"
#include "platform/hotarea.h"
#include "platform/qtdialogs.h"
#include "platform/testing/jpegbytes.h"
#include "platform/testing/recordingurlopener.h"
#include "platform/testing/userfolders.h"
#include "platform/workfolder.h"
#include "upload/progress.h"
#include "upload/sendtask.h"

using testing_support::control;

namespace {

// The window manager's stacking order of the program's windows, bottom to top, as it
// publishes it on the root window.
std::vector<WId> stackingOrder() {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
    if (!xprop.waitForFinished(5000)) {
        return {};
    }
    std::vector<WId> order;
    static const QRegularExpression id(QStringLiteral("0x[0-9a-fA-F]+"));
    for (const QRegularExpressionMatch& match :
         id.globalMatch(QString::fromLatin1(xprop.readAllStandardOutput()))) {
        order.push_back(match.captured().toULongLong(nullptr, 16));
    }
    return order;
}

int stackPlace(const std::vector<WId>& order, WId window) {
    const auto at = std::find(order.cbegin(), order.cend(), window);
    return at == order.cend() ? -1 : static_cast<int>(at - order.cbegin());
}

// What was seen of a dialog that came up over a window.
struct Seen {
    QString kind;  // the dialog's class
    bool above = false;
    bool owned = false;  // its owner is the window under it
};

class Desktop : public ::testing::Test {
protected:
    void start(labd::ServiceOptions options) {
        testing_support::storeFormats();
        // A fresh banner: no fetch at start-up, whose credentials no one would answer.
        testing_support::writeFile(platform::GetTempFolder() + QStringLiteral("banner.gif"),
                                   "GIF89a");
        lab_ = std::make_unique<labd::testing::Lab>(options);
        ASSERT_TRUE(lab_->ok());
        ProgramOptions program;
        program.serviceHost = QString::fromStdString(lab_->address());
        program.urls = &urls_;
        program_ = std::make_unique<Program>(dialogs_, program);
        form().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form()));
    }
    TForm1& form() { return program_->form1(); }

    QString photo(const QString& name) {
        const QString path = folders_.root() + u'/' + name;
        testing_support::writeFile(path, testing_support::encodedJpeg(600, 400));
        return path;
    }

    // Runs `run` (which returns when `under`, a modal window, has closed). Every
    // dialog that comes up over `under` meanwhile is looked at once the window manager
    // has stacked it, then dismissed as Esc would (cancel, or Abort). While `under` is
    // up, `during` is called; once `finished` says so, `end` closes it.
    std::vector<Seen> watchOver(QWidget& under, const std::function<void()>& run,
                                const std::function<void()>& during,
                                const std::function<bool()>& finished,
                                const std::function<void()>& end) {
        std::vector<Seen> seen;
        QElapsedTimer clock;
        clock.start();
        QDialog* looking = nullptr;
        QElapsedTimer since;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!under.isVisible()) {
                return;
            }
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog != nullptr && dialog != &under && dialog->isVisible()) {
                if (dialog != looking) {
                    looking = dialog;
                    since.start();
                }
                const std::vector<WId> order = stackingOrder();
                const int box = stackPlace(order, dialog->winId());
                const int window = stackPlace(order, under.winId());
                // Mapped and stacked by the window manager, or given up after 3 s.
                if ((box >= 0 && window >= 0) || since.elapsed() > 3000) {
                    seen.push_back({QString::fromLatin1(dialog->metaObject()->className()),
                                    box > window && window >= 0, dialog->parentWidget() == &under});
                    looking = nullptr;
                    dialog->reject();
                }
                return;
            }
            if (finished() || clock.elapsed() > 60000) {
                EXPECT_LE(clock.elapsed(), 60000) << "gave up waiting";
                poll.stop();
                end();
                return;
            }
            during();
        });
        poll.start(50);
        run();
        return seen;
    }

    testing_support::UserFolders folders_;
    platform::QtDialogs dialogs_{applicationTitle()};
    testing_support::RecordingUrlOpener urls_;
    std::unique_ptr<labd::testing::Lab> lab_;
    std::unique_ptr<Program> program_;
};

}  // namespace

// The lab wants a password for the session, the customer cancels, and the session fails:
// the credentials dialog and then "Ошибка получения сессии" both lie above the progress
// window, which stays on top.
TEST_F(Desktop, QuestionsDuringAnUploadComeUpAboveTheProgressWindow) {
    labd::ServiceOptions options;
    options.serverCredentials = "user:secret";
    start(options);
    form().DropFiles({photo("a.jpg")});
    auto* cancel = control<QAction>(form(), "actCancelProgress");
    const std::vector<Seen> seen = watchOver(
        program_->form3(), [&] { control<QAction>(form(), "actSend")->trigger(); }, [] {},
        [&] { return program_->state().SendTask != nullptr && !program_->state().Sending; },
        [&] { cancel->trigger(); });
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].kind, QStringLiteral("QDialog"));  // the credentials
    EXPECT_EQ(seen[1].kind, QStringLiteral("QMessageBox"));
    for (const Seen& s : seen) {
        SCOPED_TRACE(s.kind.toStdString());
        EXPECT_TRUE(s.owned);
        EXPECT_TRUE(s.above) << "under the progress window";
    }
}

// The progress window opens with the focus on itself, never on its drawn cancel button,
// so Enter and Space pressed while it runs do not stop the upload.
TEST_F(Desktop, EnterAndSpaceInTheProgressWindowDoNotCancel) {
    labd::ServiceOptions options;
    options.stallSeconds = 1;  // each upload takes a second
    options.faultsOnUploadsOnly = true;
    start(options);
    form().DropFiles({photo("a.jpg"), photo("b.jpg")});
    TForm3& progress = program_->form3();
    bool pressed = false;
    std::string focused;
    bool stopped = false;
    const std::vector<Seen> seen = watchOver(
        progress, [&] { control<QAction>(form(), "actSend")->trigger(); },
        [&] {
            if (pressed || !progress.isActiveWindow()) {
                return;
            }
            pressed = true;
            QWidget* focus = QApplication::focusWidget();
            focused = focus != nullptr ? focus->objectName().toStdString() : "none";
            for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
                QTest::keyClick(focus != nullptr ? focus : &progress, key);
            }
            stopped = program_->state().SendTask->stopRequested();
        },
        [&] { return program_->state().SendTask != nullptr && !program_->state().Sending; },
        [&] { control<QAction>(form(), "actCancelProgress")->trigger(); });
    EXPECT_TRUE(seen.empty());
    ASSERT_TRUE(pressed);
    EXPECT_EQ(focused, "TForm3");
    EXPECT_FALSE(stopped);
    EXPECT_EQ(program_->state().Data.rowCount(), 0);  // finished: every row sent
}

// The viewer's delete question is the viewer's own.
TEST_F(Desktop, TheViewersQuestionBelongsToTheViewer) {
    start({});
    form().DropFiles({photo("a.jpg")});
    QDialog& viewer = program_->form2();
    bool asked = false;
    bool answered = false;
    const std::vector<Seen> seen = watchOver(
        viewer, [&] { form().actShowImageExecute(); },
        [&] {
            if (!asked) {
                asked = true;
                // Not from inside the watch: its timer does not fire while it runs.
                QTimer::singleShot(0, &viewer, [&] {
                    control<QAbstractButton>(viewer, "JvTransparentButton7")->click();
                    answered = true;
                });
            }
        },
        [&] { return answered; }, [&] { viewer.reject(); });
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].owned);
    EXPECT_TRUE(seen[0].above);
}

int main(int argc, char** argv) {
    platform::QtDialogs lastNet(QStringLiteral("Korvella"));
    KorvellaApplication app(argc, argv, lastNet);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
