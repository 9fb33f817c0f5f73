#include <gtest/gtest.h>

#include "formats/catalogue.h"
#include "formats/messages.h"
#include "labd/tests/labfixture.h"
#include "platform/settingsstore.h"
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

// A stored catalogue whose later Cost holds a NUL does not read: as at the program's
// start, the message, a download that fails too, and no catalogue (not the formats
// read before it).
TEST(FormatsCommand, AStoredCatalogueThatDoesNotReadIsNoCatalogue) {
    testing_support::UserFolders folders;
    {
        labd::testing::Lab lab;
        ASSERT_EQ(runFormats({"--host", QString::fromStdString(lab.address())}).status, 0);
    }
    platform::QSettingsStore store;
    ASSERT_TRUE(store.setValue(formats::FormatsKey + QStringLiteral("\\30x45"),
                               QStringLiteral("Cost"), QString::fromLatin1("200\0.00", 7)));
    store.flush();
    const CommandRun printed = runFormats({"--host", "127.0.0.1:1"});
    EXPECT_EQ(printed.status, 1);
    EXPECT_TRUE(printed.out.startsWith(QStringLiteral("'200")) &&
                printed.out.contains(QStringLiteral("is not a valid floating point value")))
        << printed.out.toStdString();
    EXPECT_FALSE(printed.out.contains(QStringLiteral("10x15\t"))) << printed.out.toStdString();
}
