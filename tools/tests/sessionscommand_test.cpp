#include <gtest/gtest.h>

#include "labd/tests/labfixture.h"
#include "platform/testing/userfolders.h"
#include "service/sessionmessages.h"
#include "tools/sessionscommand.h"
#include "tools/tests/commandrun.h"

namespace {

CommandRun runSessions(const QStringList& args) {
    return runCommand(tool::runSessionsCommand, args);
}

}  // namespace

// A new key is stored and listed with its stamp; without the lab, S1 and nothing new.
TEST(SessionsCommand, StoresNewKeysAndListsThem) {
    testing_support::UserFolders folders;
    labd::testing::Lab lab;
    const QString host = QString::fromStdString(lab.address());
    EXPECT_EQ(runSessions({"--host", host}).out, QString());
    const CommandRun made = runSessions({"--new", "--host", host});
    EXPECT_EQ(made.status, 0) << made.out.toStdString();
    const QStringList lines = made.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << made.out.toStdString();
    const QStringList fields = lines[0].split(u'\t');
    ASSERT_EQ(fields.size(), 2);
    EXPECT_EQ(fields[1].size(), 32);
    EXPECT_EQ(lab.requests("session"), 1);

    const CommandRun failed = runSessions({"--new", "--host", "127.0.0.1:1"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, service::messages::S1() + "\n" + lines[0] + "\n");
    EXPECT_EQ(runSessions({"--bogus"}).status, 2);
}
