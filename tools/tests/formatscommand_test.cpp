#include <gtest/gtest.h>

#include "formats/messages.h"
#include "labd/tests/labfixture.h"
#include "platform/testing/userfolders.h"
#include "tools/formatscommand.h"
#include "tools/tests/commandrun.h"

namespace {

CommandRun runFormats(const QStringList& args) {
    return runCommand(tool::runFormatsCommand, args);
}

}  // namespace

TEST(FormatsCommand, PrintsTheCatalogueAsLoaded) {
    testing_support::UserFolders folders;
    labd::testing::Lab lab;
    const CommandRun printed = runFormats({"--host", QString::fromStdString(lab.address())});
    EXPECT_EQ(printed.status, 0);
    EXPECT_TRUE(printed.out.startsWith("10x15\t12.5\t152\t102\t1795\t1205\t150\n13x18\t25\t"))
        << printed.out.toStdString();
    EXPECT_EQ(printed.out.count(u'\n'), 6);
    EXPECT_EQ(runFormats({"--host", QString::fromStdString(lab.address())}).out, printed.out);
    EXPECT_EQ(lab.requests("format"), 1);
}

TEST(FormatsCommand, PrintsTheMessagesWhenNothingCanBeHad) {
    testing_support::UserFolders folders;
    const CommandRun printed = runFormats({"--update", "--host", "127.0.0.1:1"});
    EXPECT_EQ(printed.status, 1);
    EXPECT_EQ(printed.out, formats::messages::F1() + "\n" + formats::messages::L2() + "\n");
}
