#include <gtest/gtest.h>

#include <QAction>
#include <QTcpServer>

#include "app/Unit1.h"
#include "app/application.h"
#include "app/tests/appfixture.h"
#include "formats/messages.h"
#include "labd/tests/labfixture.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/testing/userfolders.h"

using testing_support::control;
using testing_support::ScriptedDialogs;
using testing_support::UserFolders;
namespace messages = formats::messages;

namespace {

const QString kWeb = QStringLiteral("http://lab.test/");

ProgramOptions at(const std::string& address) {
    return {QString::fromStdString(address), kWeb};
}

// An address where nothing listens.
std::string deadAddress() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return "127.0.0.1:" + std::to_string(probe.serverPort());
}

}  // namespace

TEST(FormatsAtStartUp, TheFirstStartDownloadsLaterStartsDoNot) {
    UserFolders folders;
    labd::testing::Lab lab;
    ScriptedDialogs dialogs;
    {
        Program program(dialogs, at(lab.address()));
        ASSERT_EQ(program.state().Formats.size(), 6u);
        EXPECT_EQ(program.state().Formats[0].Name, "10x15");  // the store's order
        EXPECT_EQ(program.state().Formats[0].Width_px, 1795);
        EXPECT_FALSE(program.state().terminateRequested);
    }
    EXPECT_EQ(lab.requests("format"), 1);
    {
        Program program(dialogs, at(lab.address()));
        EXPECT_EQ(program.state().Formats.size(), 6u);
        EXPECT_EQ(lab.requests("format"), 1);

        control<QAction>(program.form1(), "actUpdateFormats")->trigger();
        EXPECT_EQ(lab.requests("format"), 2);
        EXPECT_EQ(program.state().Formats.size(), 6u);
        EXPECT_FALSE(program.state().terminateRequested);
    }
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST(FormatsAtStartUp, NoFormatAndNoConnectionEndsTheProgram) {
    UserFolders folders;
    ScriptedDialogs dialogs;
    Program program(dialogs, at(deadAddress()));
    EXPECT_EQ(dialogs.errors(), (QStringList{messages::F1(), messages::L2(), messages::B1(kWeb)}));
    EXPECT_TRUE(program.state().terminateRequested);
    EXPECT_TRUE(program.state().Data.isOpen());  // the rest of start-up still ran
}

TEST(FormatsUpdate, WithoutAConnectionTheProgramEndsAndTheStoreKeepsItsFormats) {
    UserFolders folders;
    labd::testing::Lab lab;
    ScriptedDialogs dialogs;
    {
        Program program(dialogs, at(lab.address()));
        ASSERT_EQ(program.state().Formats.size(), 6u);
    }
    Program program(dialogs, at(deadAddress()));
    EXPECT_EQ(program.state().Formats.size(), 6u);  // from the store
    program.form1().actUpdateFormatsExecute();
    EXPECT_EQ(dialogs.errors(), (QStringList{messages::F1(), messages::L2(), messages::U1(kWeb)}));
    EXPECT_TRUE(program.state().terminateRequested);
    EXPECT_TRUE(program.state().Formats.empty());

    ScriptedDialogs next;
    Program again(next, at(deadAddress()));
    EXPECT_EQ(again.state().Formats.size(), 6u);
    EXPECT_TRUE(next.shown().empty());
}
