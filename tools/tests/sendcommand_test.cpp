#include <gtest/gtest.h>

#include "labd/tests/labfixture.h"
#include "platform/testing/jpegbytes.h"
#include "platform/testing/scopedenv.h"
#include "platform/testing/userfolders.h"
#include "service/sessions.h"
#include "tools/sendcommand.h"
#include "tools/tests/commandrun.h"
#include "upload/uploadmessages.h"

namespace {

class SendCommand : public ::testing::Test {
protected:
    QString photo(const char* name) {
        const QString path = folders_.root() + u'/' + QString::fromUtf8(name);
        testing_support::writeFile(path, testing_support::encodedJpeg(600, 400));
        return path;
    }
    CommandRun send(labd::testing::Lab& lab, QStringList args) {
        args.prepend(QString::fromStdString(lab.address()));
        args.prepend(QStringLiteral("--host"));
        return runCommand(tool::runSendCommand, args);
    }

    testing_support::NoProxyEnv noProxy_;
    testing_support::UserFolders folders_;
};

}  // namespace

// The photos go to the lab as one order, the run printed as the window shows it.
TEST_F(SendCommand, UploadsThePhotosAndPrintsTheSessionPage) {
    labd::testing::Lab lab;
    const QString a = photo("a.jpg");
    const QString b = photo("b.jpg");
    const CommandRun run =
        send(lab, {"--format", "13x18", "--count", "3", "--paper", "Глянцевая", a, b});
    EXPECT_EQ(run.status, 0) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(upload::messages::rowOfRows(2, 2)));
    EXPECT_TRUE(run.out.contains(upload::messages::sending(b)));
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    const QString page = lines.last();
    const QString key = page.section(QStringLiteral("key="), 1);
    EXPECT_EQ(page, service::sessionPageAddress(QString::fromStdString(lab.address()), key));
    const std::vector<labd::Upload> got = lab.store().uploads(key.toStdString());
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1].fileNumber, "2");
    EXPECT_EQ(got[1].count, 3);
    EXPECT_EQ(got[1].format, "13x18");
    EXPECT_EQ(got[1].paper, "glyanc");
}

// Every row refused: abort (the default) ends the run unfinished; ignore finishes it,
// naming the photo that was not sent (status 3).
TEST_F(SendCommand, AFailedRowIsAnsweredAsTold) {
    labd::ServiceOptions options;
    options.failEveryNthUpload = 1;
    labd::testing::Lab lab(options);
    const QString a = photo("a.jpg");
    const CommandRun aborted = send(lab, {a});
    EXPECT_EQ(aborted.status, 1);
    EXPECT_TRUE(aborted.out.contains(upload::messages::transferFailed(a)));
    EXPECT_TRUE(aborted.out.endsWith(upload::messages::aborted() + "\n"));
    const CommandRun ignored = send(lab, {"--on-failure", "ignore", a});
    EXPECT_EQ(ignored.status, 3) << ignored.out.toStdString();
    EXPECT_TRUE(ignored.out.endsWith(a + QStringLiteral(" (пропущен)\n")))
        << ignored.out.toStdString();
    EXPECT_EQ(runCommand(tool::runSendCommand, {"--on-failure", "retry", a}).status, 2);
}
