// One program per user, tried with the real program: a second start hands its photo to
// the first, which adds it, and ends; --help and --version answer without windows.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include "app/tests/appfixture.h"
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
