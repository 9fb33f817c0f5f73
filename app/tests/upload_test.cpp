#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest/QTest>
#include <csignal>
#include <functional>

#include "app/Unit1.h"
#include "app/application.h"
#include "app/tests/appfixture.h"
#include "images/prepare.h"
#include "labd/tests/labfixture.h"
#include "platform/hotarea.h"
#include "platform/settingsstore.h"
#include "platform/testing/jpegbytes.h"
#include "platform/testing/recordingurlopener.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/testing/userfolders.h"
#include "platform/windows1251.h"
#include "service/sessionmessages.h"
#include "service/sessions.h"
#include "upload/progress.h"
#include "upload/sendtask.h"
#include "upload/uploadmessages.h"

using testing_support::control;
using testing_support::ScriptedDialogs;
using Answer = platform::Dialogs::Answer;

namespace {

const std::string kUploadStep = "/index.php?option=com_photoprint&step=uploadprogs";

// The program over a real labd that records the uploads it receives.
class Upload : public ::testing::Test {
protected:
    void start(labd::ServiceOptions options = {}, const QString& hostOverride = QString()) {
        testing_support::storeFormats();
        ASSERT_TRUE(QDir().mkpath(records()));
        options.recordDir = records().toStdString();
        lab_ = std::make_unique<labd::testing::Lab>(options);
        ASSERT_TRUE(lab_->ok());
        ProgramOptions program;
        program.serviceHost = hostOverride.isEmpty() ? host() : hostOverride;
        program.urls = &urls_;
        program_ = std::make_unique<Program>(dialogs_, program);
        form().show();
    }
    QString host() const { return QString::fromStdString(lab_->address()); }
    QString records() const { return folders_.root() + QStringLiteral("/records"); }
    TForm1& form() { return program_->form1(); }
    TForm3& progress() { return program_->form3(); }
    order::OrderTable& table() { return program_->state().Data; }

    // A real JPEG photo of this pixel size in the test's folder.
    QString photo(const QString& name, int width = 600, int height = 400) {
        const QString path = folders_.root() + u'/' + name;
        testing_support::writeFile(path, testing_support::encodedJpeg(width, height));
        return path;
    }

    // Runs the send command; whenever the progress window is up, duringRun is asked
    // (it may cancel), and once the run has ended, the window is closed by the cancel
    // command as the user would. Fails the test after a minute.
    void send(const std::function<void()>& duringRun = {}) {
        QElapsedTimer clock;
        clock.start();
        auto* watch = new QTimer(&progress());
        QObject::connect(watch, &QTimer::timeout, [&, watch] {
            if (!progress().isVisible()) {
                return;
            }
            if (duringRun) {
                duringRun();
            }
            const bool ended = program_->state().SendTask != nullptr && !program_->state().Sending;
            if (ended) {
                watched_ = captured();
                watch->stop();
                control<QAction>(form(), "actCancelProgress")->trigger();
            } else if (clock.elapsed() > 60000) {
                ADD_FAILURE() << "the upload did not end";
                program_->state().SendTask->requestStop();
            }
        });
        watch->start(10);
        control<QAction>(form(), "actSend")->trigger();
        delete watch;
    }

    // What the progress window showed when the run had ended.
    struct Shown {
        QString label;
        QString link;
        bool linkVisible = false;
        bool barsVisible = false;
    };
    Shown captured() {
        Shown s;
        s.label = control<QLabel>(progress(), "Label1")->text();
        auto* link = control<QLineEdit>(progress(), "Edit1");
        s.link = link->text();
        s.linkVisible = link->isVisibleTo(&progress());
        s.barsVisible = control(progress(), "ProgressBar1")->isVisibleTo(&progress());
        return s;
    }

    std::vector<labd::Upload> uploads() {
        const QStringList stamps = platform::QSettingsStore().subkeyNames(service::SessionsKey);
        std::vector<labd::Upload> all;
        for (const QString& stamp : stamps) {
            const auto key = platform::QSettingsStore().value(service::SessionsKey + u'\\' + stamp,
                                                              QStringLiteral("Session"));
            for (const labd::Upload& u :
                 lab_->store().uploads(key.value_or(QString()).toStdString())) {
                all.push_back(u);
            }
        }
        return all;
    }

    testing_support::UserFolders folders_;
    ScriptedDialogs dialogs_;
    testing_support::RecordingUrlOpener urls_;
    std::unique_ptr<labd::testing::Lab> lab_;
    std::unique_ptr<Program> program_;
    Shown watched_;
};

}  // namespace

// The main job end to end: three photos (one portrait) reach the lab as prints of their
// format, the session page opens, the order is emptied and the session is kept.
TEST_F(Upload, ThreePhotosReachTheLabAndTheSessionPageOpens) {
    start();
    form().DropFiles({photo("a.jpg"), photo("b-portrait.jpg", 400, 600), photo("c.jpg")});
    ASSERT_EQ(table().rowCount(), 3);
    send();

    EXPECT_TRUE(dialogs_.shown().empty()) << dialogs_.errors().join("\n").toStdString();
    EXPECT_EQ(watched_.label, upload::messages::finished());
    EXPECT_TRUE(watched_.linkVisible);
    EXPECT_FALSE(watched_.barsVisible);
    const std::vector<labd::Upload> got = uploads();
    ASSERT_EQ(got.size(), 3u);
    for (size_t i = 0; i < got.size(); ++i) {
        const labd::Upload& u = got[i];
        EXPECT_EQ(u.fileNumber, std::to_string(i + 1));
        EXPECT_EQ(u.count, 1);
        EXPECT_EQ(u.format, "10x15");
        EXPECT_EQ(u.paper, "matov");
        EXPECT_EQ(u.param, "WithBorder");
        EXPECT_EQ(u.dpi, "100");  // 600 / 152 mm × 25.4
        const QImage print(QString::fromStdString(u.storedPath));
        EXPECT_EQ(print.size(), QSize(1795, 1205)) << u.filename;
    }
    EXPECT_TRUE(QString::fromStdString(got[1].filename).endsWith("b-portrait.jpg"));
    const QString page = service::sessionPageAddress(host(), QString::fromStdString(got[0].key));
    EXPECT_EQ(urls_.opened, QStringList{page});
    EXPECT_EQ(watched_.link, page);
    EXPECT_EQ(table().rowCount(), 0);
    EXPECT_FALSE(progress().isVisible());
    EXPECT_EQ(program_->state().SendTask, nullptr);
    EXPECT_EQ(platform::QSettingsStore().subkeyCount(service::SessionsKey), 1);
}

// The request on the wire against a body built here from the lab's layout.
TEST_F(Upload, TheRequestIsByteForByteTheLabsLayout) {
    start();
    const QString path = photo("Фото;1.jpg", 300, 200);
    form().DropFiles({path});
    send();
    ASSERT_TRUE(dialogs_.shown().empty()) << dialogs_.errors().join("\n").toStdString();

    const QByteArray raw = testing_support::readFile(records() + "/upload-1.http");
    const qsizetype headEnd = raw.indexOf("\r\n\r\n");
    ASSERT_GT(headEnd, 0);
    const QList<QByteArray> lines = raw.left(headEnd).split('\n');
    EXPECT_EQ(lines[0], "POST /index.php?option=com_photoprint&step=uploadprogs HTTP/1.0\r");
    const QByteArray head = raw.left(headEnd + 2);
    EXPECT_TRUE(
        head.contains("\r\nContent-Type: multipart/form-data; boundary=--RIRIDO-REZ-AVAZ\r\n"));
    EXPECT_TRUE(head.contains("\r\nAccept: */*\r\n"));
    EXPECT_TRUE(head.contains("\r\nUser-Agent: KORVELLADAVUZORO\r\n"));
    EXPECT_TRUE(head.contains("\r\nReferer: http://" + host().toUtf8() + "\r\n"));
    EXPECT_TRUE(head.contains("\r\nConnection: Keep-Alive\r\n"));
    EXPECT_FALSE(head.toLower().contains("\r\nexpect:"));
    EXPECT_FALSE(head.toLower().contains("\r\ncookie:"));

    const QByteArray body = raw.mid(headEnd + 4);
    const QByteArray picture =
        images::preparePrint(path, program_->state().Formats.front(), QStringLiteral("С полями"));
    const std::vector<labd::Upload> got = uploads();
    ASSERT_EQ(got.size(), 1u);
    const QByteArray key = QByteArray::fromStdString(got[0].key);
    const QByteArray d = "----RIRIDO-REZ-AVAZ";
    QByteArray expected = d + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" +
                          platform::toWindows1251(path) + "\"\r\nContent-Type: image/jpeg\r\n\r\n" +
                          picture + d + "--\r\n\r\n" + d +
                          "\r\nContent-Disposition: form-data; name=\"Count\"\r\n\r\n1";
    for (const auto& [name, value] :
         std::vector<std::pair<QByteArray, QByteArray>>{{"Format", "10x15"},
                                                        {"Paper", "matov"},
                                                        {"key", key},
                                                        {"dpi", "50"},
                                                        {"FileNumber", "1"},
                                                        {"Param", "WithBorder"}}) {
        expected += "\r\n" + d + "--\r\n" + d + "\r\nContent-Disposition: form-data; name=\"" +
                    name + "\"\r\n\r\n" + value;
    }
    expected += "\r\n" + d + "--";
    EXPECT_EQ(body.size(), expected.size());
    EXPECT_TRUE(body == expected);
    EXPECT_TRUE(
        head.contains("\r\nContent-Length: " + QByteArray::number(expected.size()) + "\r\n"));
}

// Faults of the lab and the line, each with what the user sees and what the lab got.
TEST_F(Upload, ARefusedSessionAbortsBeforeAnyUpload) {
    labd::ServiceOptions options;
    options.fixedAnswers["/index.php?option=com_photoprint&step=session"] = {200, "busy"};
    start(options);
    form().DropFiles({photo("a.jpg")});
    send();
    EXPECT_EQ(dialogs_.errors(), QStringList{service::messages::S1()});
    EXPECT_EQ(watched_.label, upload::messages::aborted());
    EXPECT_FALSE(watched_.barsVisible);
    EXPECT_FALSE(QFile::exists(records() + "/upload-1.http"));
    EXPECT_EQ(table().rowCount(), 1);
    EXPECT_TRUE(urls_.opened.isEmpty());
}

TEST_F(Upload, NoAnswerToTheEmptyRequestEndsTheUploadWithTheConnectionMessage) {
    labd::ServiceOptions options;
    options.fixedAnswers[kUploadStep] = {500, "Internal error"};
    start(options);
    form().DropFiles({photo("a.jpg"), photo("b.jpg")});
    send();
    const QString web = QString::fromUtf8(korvella::ServiceWebAddress);
    EXPECT_EQ(dialogs_.errors(), QStringList{upload::messages::noConnection(web)});
    EXPECT_EQ(watched_.label, upload::messages::aborted());
    EXPECT_EQ(table().rowCount(), 2);
}

// A reply other than "Ok" asks; Retry sends the row again (the lab keeps it once),
// Ignore goes on without it, and the run finishes.
TEST_F(Upload, ARefusedRowIsRetriedOrIgnoredAsTheUserSays) {
    labd::ServiceOptions options;
    options.failEveryNthUpload = 2;  // the 2nd and 4th uploads are refused
    start(options);
    form().DropFiles({photo("a.jpg"), photo("b.jpg"), photo("c.jpg")});
    dialogs_.scriptAnswer(Answer::Retry);   // b: refused, sent again (3rd)
    dialogs_.scriptAnswer(Answer::Ignore);  // c: refused (4th), left out
    send();
    const std::vector<ScriptedDialogs::Shown>& shown = dialogs_.shown();
    ASSERT_EQ(shown.size(), 3u);  // the two questions, then the row not sent
    EXPECT_EQ(shown[0].text, upload::messages::transferFailed(folders_.root() + "/b.jpg"));
    EXPECT_EQ(shown[1].text, upload::messages::transferFailed(folders_.root() + "/c.jpg"));
    const std::vector<labd::Upload> got = uploads();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].fileNumber, "1");
    EXPECT_EQ(got[1].fileNumber, "2");
    EXPECT_EQ(watched_.label, upload::messages::finished());
    // The skipped row stays in the order, and the end names it.
    ASSERT_EQ(table().rowCount(), 1);
    EXPECT_EQ(table().row(0).file, folders_.root() + "/c.jpg");
    ASSERT_EQ(dialogs_.errors().size(), 1);
    EXPECT_EQ(dialogs_.errors()[0],
              QStringLiteral("Не все фотографии отправлены!\r\nЭти фотографии не попали в заказ "
                             "и остались в списке, их можно отправить ещё раз:\r\n") +
                  folders_.root() + QStringLiteral("/c.jpg (пропущен)"));
}

TEST_F(Upload, AbortAtARefusedRowKeepsTheOrder) {
    labd::ServiceOptions options;
    options.fixedAnswers[kUploadStep] = {200, " Ok"};
    start(options);
    form().DropFiles({photo("a.jpg"), photo("b.jpg")});
    dialogs_.scriptAnswer(Answer::Abort);
    send();
    EXPECT_EQ(dialogs_.count(ScriptedDialogs::Shown::AbortRetryIgnore), 1);
    EXPECT_EQ(watched_.label, upload::messages::aborted());
    EXPECT_EQ(table().rowCount(), 2);
    EXPECT_TRUE(urls_.opened.isEmpty());
}

// A missing file is skipped at its turn; the others keep their numbers. The run ends
// as finished, but it names the photo that was not sent and keeps its row (and only it)
// in the order, never reporting a missing print as sent.
TEST_F(Upload, AMissingPhotoIsSkippedNamedAtTheEndAndKept) {
    start();
    const QString gone = photo("b.jpg");
    form().DropFiles({photo("a.jpg"), gone, photo("c.jpg"), photo("d.jpg")});
    QFile::remove(gone);
    send();
    const std::vector<labd::Upload> got = uploads();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].fileNumber, "1");
    EXPECT_EQ(got[1].fileNumber, "3");
    EXPECT_EQ(got[2].fileNumber, "4");
    EXPECT_EQ(watched_.label, upload::messages::finished());
    EXPECT_EQ(urls_.opened.size(), 1);
    ASSERT_EQ(dialogs_.errors().size(), 1);
    EXPECT_EQ(dialogs_.errors()[0],
              QStringLiteral("Не все фотографии отправлены!\r\nЭти фотографии не попали в заказ "
                             "и остались в списке, их можно отправить ещё раз:\r\n") +
                  gone + QStringLiteral(" (файл не найден)"));
    ASSERT_EQ(table().rowCount(), 1);
    EXPECT_EQ(table().row(0).file, gone);
}

// A photo that is no longer a picture says so by name; Ignore leaves it out.
TEST_F(Upload, ADamagedPhotoIsNamedAndCanBeIgnored) {
    start();
    const QString damaged = photo("b.jpg");
    form().DropFiles({photo("a.jpg"), damaged});
    QByteArray bytes = testing_support::readFile(damaged);
    testing_support::writeFile(damaged, bytes.left(bytes.size() / 3));
    dialogs_.scriptAnswer(Answer::Ignore);
    send();
    ASSERT_EQ(dialogs_.count(ScriptedDialogs::Shown::AbortRetryIgnore), 1);
    EXPECT_TRUE(dialogs_.shown()[0].text.startsWith(
        QStringLiteral("ПРОИЗОШЛА ОШИБКА ПОДГОТОВКИ ФАЙЛА!\r\nФайл ") + damaged));
    EXPECT_EQ(uploads().size(), 1u);
    EXPECT_EQ(watched_.label, upload::messages::finished());
    ASSERT_EQ(table().rowCount(), 1);
    EXPECT_EQ(table().row(0).file, damaged);
}

// Cancel (Esc) while a row is sent to a lab that never answers it: the transfer is
// abandoned at once, the row not sent, the window shows the abort and a second cancel
// closes it.
TEST_F(Upload, CancelEndsTheRowUnderWayAndKeepsTheOrder) {
    labd::ServiceOptions options;
    options.stallSeconds = 120;
    options.faultsOnUploadsOnly = true;
    start(options);
    const QString first = photo("a.jpg");
    form().DropFiles({first, photo("b.jpg"), photo("c.jpg")});
    bool cancelled = false;
    QElapsedTimer sinceCancel;
    send([&] {
        if (!cancelled &&
            control<QLabel>(progress(), "Label1")->text() == upload::messages::sending(first)) {
            cancelled = true;
            sinceCancel.start();
            QTest::keyClick(&progress(), Qt::Key_Escape);
            EXPECT_TRUE(progress().isVisible());  // the first cancel only asks to stop
        }
    });
    ASSERT_TRUE(cancelled);
    EXPECT_LT(sinceCancel.elapsed(), 20000) << "the cancel waited for the lab";
    EXPECT_TRUE(uploads().empty());
    EXPECT_EQ(watched_.label, upload::messages::aborted());
    EXPECT_FALSE(progress().isVisible());
    EXPECT_EQ(table().rowCount(), 3);
    EXPECT_TRUE(dialogs_.shown().empty());
}

// Closing the main window (the window manager's close, a logout) or a kill (SIGTERM)
// while a row is sent to a lab that never answers it ends the program within seconds,
// the order whole on disk.
TEST_F(Upload, CloseOrSigtermEndsTheRowUnderWayAndKeepsTheOrder) {
    for (const bool bySignal : {false, true}) {
        SCOPED_TRACE(bySignal ? "SIGTERM" : "close");
        program_.reset();  // the second program reads the order the first one kept
        labd::ServiceOptions options;
        options.stallSeconds = 120;
        options.faultsOnUploadsOnly = true;
        start(options);
        const QString first = photo("a.jpg");
        if (table().rowCount() == 0) {
            form().DropFiles({first, photo("b.jpg"), photo("c.jpg")});
        }
        ASSERT_EQ(table().rowCount(), 3);
        bool stopped = false;
        QElapsedTimer sinceStop;
        auto* watch = new QTimer(&progress());
        QObject::connect(watch, &QTimer::timeout, [&] {
            if (!stopped &&
                control<QLabel>(progress(), "Label1")->text() == upload::messages::sending(first)) {
                stopped = true;
                sinceStop.start();
                if (bySignal) {
                    ::raise(SIGTERM);
                } else {
                    form().close();
                }
            }
        });
        watch->start(5);
        control<QAction>(form(), "actSend")->trigger();
        delete watch;
        ASSERT_TRUE(stopped);
        EXPECT_LT(sinceStop.elapsed(), 20000) << "the stop waited for the lab";
        EXPECT_FALSE(form().isVisible());
        EXPECT_EQ(program_->state().SendTask, nullptr);
        EXPECT_TRUE(uploads().empty());
        program_->shutdown();
        EXPECT_EQ(testing_support::readFile(folders_.workFolder() + "Data.csv").count(".jpg"), 3);
    }
}

// Prints are made ahead while earlier rows are sent, yet the user hears of each row in
// its turn: the first row's refusal comes before the second's damaged photo.
TEST_F(Upload, MessagesComeInTheRowsOrderThoughPrintsAreMadeAhead) {
    labd::ServiceOptions options;
    options.failEveryNthUpload = 1;
    start(options);
    const QString first = photo("a.jpg");
    const QString damaged = photo("b.jpg");
    form().DropFiles({first, damaged, photo("c.jpg")});
    const QByteArray bytes = testing_support::readFile(damaged);
    testing_support::writeFile(damaged, bytes.left(bytes.size() / 3));
    for (int i = 0; i < 3; ++i) {
        dialogs_.scriptAnswer(Answer::Ignore);
    }
    send();
    const std::vector<ScriptedDialogs::Shown>& shown = dialogs_.shown();
    ASSERT_EQ(shown.size(), 4u);  // and the three rows not sent, named at the end
    EXPECT_EQ(shown[0].text, upload::messages::transferFailed(first));
    EXPECT_TRUE(shown[1].text.startsWith(
        QStringLiteral("ПРОИЗОШЛА ОШИБКА ПОДГОТОВКИ ФАЙЛА!\r\nФайл ") + damaged));
    EXPECT_EQ(shown[2].text, upload::messages::transferFailed(folders_.root() + "/c.jpg"));
}
