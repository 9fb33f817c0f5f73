// One program per user, tried with the real program: a second start hands its photo to
// the first, which adds it, and ends, whatever the first is busy with; --help and
// --version answer without windows. The hand-over socket's bounds, in-process.
#include <gtest/gtest.h>

#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest/QTest>
#include <memory>

#include "app/singleinstance.h"
#include "app/tests/appfixture.h"
#include "formats/catalogue.h"
#include "korvella/buildconfig.h"
#include "labd/tests/labfixture.h"
#include "platform/settingsstore.h"
#include "platform/testing/jpegbytes.h"
#include "platform/testing/userfolders.h"

namespace {

QProcessEnvironment programEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

// Waits up to ten seconds for a condition.
bool eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 200; ++i) {
        if (condition()) {
            return true;
        }
        QThread::msleep(50);
    }
    return condition();
}

// A start of the program whose log (its standard error) the test reads; killed at the
// end when still running.
class ProgramProcess {
public:
    explicit ProgramProcess(const QStringList& arguments = {}) {
        process_.setProcessEnvironment(programEnvironment());
        process_.start(QStringLiteral(KORVELLA_BINARY), arguments);
        EXPECT_TRUE(process_.waitForStarted());
    }
    ~ProgramProcess() {
        if (process_.state() != QProcess::NotRunning) {
            ::kill(static_cast<pid_t>(process_.processId()), SIGCONT);
            process_.kill();
            process_.waitForFinished(10000);
        }
    }
    // Waits up to 30 s for a line of the log holding text.
    bool logged(const QString& text) {
        QElapsedTimer clock;
        clock.start();
        while (!log_.contains(text) && clock.elapsed() < 30000) {
            process_.waitForReadyRead(100);
            log_ += QString::fromUtf8(process_.readAllStandardError());
        }
        EXPECT_TRUE(log_.contains(text)) << log_.toStdString();
        return log_.contains(text);
    }
    void signal(int number) { ::kill(static_cast<pid_t>(process_.processId()), number); }
    // What it has logged so far.
    QString log() {
        log_ += QString::fromUtf8(process_.readAllStandardError());
        return log_;
    }
    QProcess& process() { return process_; }

private:
    QProcess process_;
    QString log_;
};

// A later start that must end at once, handing its photos over.
void expectHandedOver(const QStringList& arguments) {
    QProcess later;
    later.setProcessEnvironment(programEnvironment());
    QElapsedTimer clock;
    clock.start();
    later.start(QStringLiteral(KORVELLA_BINARY), arguments);
    const bool ended = later.waitForFinished(8000);
    if (!ended) {
        later.kill();
        later.waitForFinished();
    }
    ASSERT_TRUE(ended) << "the later start did not end: it runs as a second program";
    EXPECT_EQ(later.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(later.exitCode(), 0);
}

}  // namespace

TEST(OneProgram, ASecondStartHandsItsPhotoToTheFirstAndEnds) {
    testing_support::UserFolders folders;
    testing_support::storeFormats();
    const QString photo = folders.root() + QStringLiteral("/IMG_0001.JPG");
    testing_support::writeFile(photo, testing_support::jpegHeaderFile(3000, 2000));

    QProcess first;
    first.setProcessEnvironment(programEnvironment());
    first.start(QStringLiteral(KORVELLA_BINARY), {});
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(eventually([&] {
        return QFileInfo::exists(folders.workFolder() + QStringLiteral("instance.socket"));
    })) << "the first program does not listen";

    QProcess second;
    second.setProcessEnvironment(programEnvironment());
    second.start(QStringLiteral(KORVELLA_BINARY), {photo});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);

    // The first took the photo into its order, and saved it.
    const QString data = folders.workFolder() + QStringLiteral("Data.csv");
    EXPECT_TRUE(eventually(
        [&] { return QString::fromUtf8(testing_support::readFile(data)).contains(photo); }));
    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate();  // ends as its close does
    EXPECT_TRUE(first.waitForFinished(15000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
}

TEST(OneProgram, HelpAndVersionAnswerWithoutWindows) {
    for (const char* option : {"--help", "--version"}) {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("none-at-all"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(KORVELLA_BINARY), {QString::fromLatin1(option)});
        ASSERT_TRUE(program.waitForFinished(10000)) << option;
        EXPECT_EQ(program.exitCode(), 0) << option;
        const QString out = QString::fromUtf8(program.readAllStandardOutput());
        EXPECT_TRUE(std::string(option) == "--help" ? out.contains(QStringLiteral("korvella"))
                                                    : out.startsWith(QStringLiteral("korvella ")))
            << out.toStdString();
    }
}

// Whatever the first program is busy with (its format download, a start-up message, a
// message about photos just handed over), a later start is answered at once and ends:
// it never runs as a second program beside the first.
TEST(OneProgram, ALaterStartIsAnsweredAtOnceWhileTheFirstIsBusy) {
    // One user's folders for all three (the settings' place is fixed for the process);
    // each first program is killed, leaving its lock file, as a crash would. The last
    // needs the lab's own port.
    testing_support::UserFolders folders;
    {
        SCOPED_TRACE("the first shows a start-up message");
        testing_support::storeFormats();
        ASSERT_TRUE(QDir().mkpath(folders.workFolder()));
        testing_support::writeFile(folders.workFolder() + QStringLiteral("Data.csv"),
                                   "\xEF\xBB\xBF"
                                   "File;Colour\r\n/p/a.jpg;red\r\n");
        ProgramProcess first;
        ASSERT_TRUE(first.logged(QStringLiteral("the damaged order file was set aside")));
        expectHandedOver({folders.root() + QStringLiteral("/b.jpg")});
        EXPECT_EQ(first.process().state(), QProcess::Running);
    }
    {
        SCOPED_TRACE("the first shows a message about a photo handed over");
        // The socket the killed one left: its reappearing tells this first listens.
        QFile::remove(folders.workFolder() + QStringLiteral("instance.socket"));
        ProgramProcess first;
        ASSERT_TRUE(eventually([&] {
            return QFileInfo::exists(folders.workFolder() + QStringLiteral("instance.socket"));
        }));
        // A socket named like a photo: it cannot be opened, and the first says so.
        QLocalServer unopenable;
        ASSERT_TRUE(unopenable.listen(folders.root() + QStringLiteral("/socket.jpg")));
        expectHandedOver({unopenable.fullServerName()});
        ASSERT_TRUE(first.logged(QStringLiteral("a photo given was refused")));
        expectHandedOver({folders.root() + QStringLiteral("/a.jpg")});
        EXPECT_EQ(first.process().state(), QProcess::Running);
    }
    {
        SCOPED_TRACE("the first downloads its formats");
        {
            // No catalogue: the program downloads one first.
            platform::QSettingsStore store;
            ASSERT_TRUE(store.deleteKey(formats::FormatsKey));
            store.flush();
        }
        // The lab the program is built for, on loopback, answering after a while.
        const QString host = QString::fromUtf8(korvella::ServiceHost);
        if (!host.startsWith(QLatin1String("127.0.0.1:"))) {
            GTEST_SKIP() << "the program is built for a lab elsewhere";
        }
        labd::ServiceOptions slow;
        slow.stallSeconds = 4;
        labd::testing::Lab lab(slow, {}, host.section(u':', 1).toInt());
        if (!lab.ok()) {
            GTEST_SKIP() << "the lab's port is taken here";
        }
        const QString photo = folders.root() + QStringLiteral("/a.jpg");
        testing_support::writeFile(photo, testing_support::jpegHeaderFile(3000, 2000));
        ProgramProcess first;
        ASSERT_TRUE(eventually([&] { return lab.requests("format") > 0; }));
        expectHandedOver({photo});
        // The photo joins the order once the program has its formats.
        const QString data = folders.workFolder() + QStringLiteral("Data.csv");
        EXPECT_TRUE(eventually(
            [&] { return QString::fromUtf8(testing_support::readFile(data)).contains(photo); }));
        EXPECT_EQ(first.process().state(), QProcess::Running);
    }
}

// A first program that lives but does not answer (stopped): a later start says so and
// ends, leaving the first's socket; the first, going on, still takes later photos.
TEST(OneProgram, AStartBesideAProgramThatDoesNotAnswerSaysSoAndLeavesIt) {
    testing_support::UserFolders folders;
    testing_support::storeFormats();
    ProgramProcess first;
    const QString socket = folders.workFolder() + QStringLiteral("instance.socket");
    ASSERT_TRUE(eventually([&] { return QFileInfo::exists(socket); }));
    first.signal(SIGSTOP);
    {
        ProgramProcess second;
        EXPECT_TRUE(second.logged(QStringLiteral("a program is running but did not take")))
            << "the first's log: " << first.log().toStdString();
        // It shows the message now; it never listens in the first's place.
        EXPECT_TRUE(QFileInfo::exists(socket));
    }
    first.signal(SIGCONT);
    const QString photo = folders.root() + QStringLiteral("/a.jpg");
    testing_support::writeFile(photo, testing_support::jpegHeaderFile(3000, 2000));
    expectHandedOver({photo});
    const QString data = folders.workFolder() + QStringLiteral("Data.csv");
    EXPECT_TRUE(eventually(
        [&] { return QString::fromUtf8(testing_support::readFile(data)).contains(photo); }));
}

// The socket takes a bounded number of connections, each a bounded message that must
// come whole in time; a whole one is answered at once, and its photos wait until the
// program can take them.
TEST(OneProgram, TheHandOverSocketIsBoundedAndAnswersAtOnce) {
    QTemporaryDir dir;
    SingleInstance::Limits limits;
    limits.connections = 2;
    limits.messageBytes = 1024;
    limits.idle = std::chrono::milliseconds(500);
    SingleInstance instance(dir.filePath(QStringLiteral("instance.socket")), limits);
    ASSERT_EQ(instance.claim({}), SingleInstance::Claim::First);
    const QString path = dir.filePath(QStringLiteral("instance.socket"));
    const auto connected = [&](const QByteArray& sent) {
        auto socket = std::make_unique<QLocalSocket>();
        socket->connectToServer(path);
        EXPECT_TRUE(socket->waitForConnected(5000));
        socket->write(sent);
        socket->flush();
        return socket;
    };
    const auto dropped = [](QLocalSocket& socket) {
        return QTest::qWaitFor([&] { return socket.state() == QLocalSocket::UnconnectedState; },
                               5000);
    };
    // Two half-sent messages fill the connections; a third is closed unread.
    const auto half1 = connected("/p/a.jpg\n");
    const auto half2 = connected("/p/b.jpg\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return instance.openConnections() == 2; }, 5000));
    const auto third = connected("/p/c.jpg\n\n");
    EXPECT_TRUE(dropped(*third));
    // The half-sent ones are dropped when their time is up.
    EXPECT_TRUE(dropped(*half1));
    EXPECT_TRUE(dropped(*half2));
    // A message past its bound is dropped as it comes.
    const auto large = connected(QByteArray(2048, 'x'));
    EXPECT_TRUE(dropped(*large));
    ASSERT_TRUE(QTest::qWaitFor([&] { return instance.openConnections() == 0; }, 5000));

    bool canTake = false;
    std::vector<QStringList> delivered;
    instance.deliverTo([&] { return canTake; },
                       [&](const QStringList& photos) { delivered.push_back(photos); });
    const auto whole = connected("/p/a.jpg\n/p/b.jpg\n\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return whole->canReadLine(); }, 5000));
    EXPECT_EQ(whole->readLine(), "ok\n");
    QTest::qWait(300);
    EXPECT_TRUE(delivered.empty()) << "delivered while the program could not take them";
    canTake = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delivered.empty(); }, 5000));
    EXPECT_EQ(delivered.front(), (QStringList{"/p/a.jpg", "/p/b.jpg"}));
}
