#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/testing/jpegbytes.h"
#include "platform/testing/userfolders.h"
#include "tools/preparecommand.h"
#include "tools/tests/commandrun.h"

using testing_support::readFile;

// The print goes to the named file and nothing to the streams; a failure is told on
// standard error only, so that standard output stays clean for a pipe.
TEST(PrepareCommand, WritesThePrintAndTellsFailuresOnStandardError) {
    QTemporaryDir dir;
    const QString photo = dir.filePath("photo.jpg");
    testing_support::writeFile(photo, testing_support::encodedJpeg(120, 80));
    const QString print = dir.filePath("print.jpg");

    const CommandRun made =
        runCommand(tool::runPrepareCommand, {photo, print, "300", "200", "С полями"});
    EXPECT_EQ(made.status, 0) << made.err.toStdString();
    EXPECT_TRUE(made.out.isEmpty());
    EXPECT_TRUE(made.err.isEmpty());
    EXPECT_TRUE(readFile(print).startsWith("\xFF\xD8"));

    const QString missing = dir.filePath("missing.jpg");
    const CommandRun failed =
        runCommand(tool::runPrepareCommand, {missing, print, "300", "200", "С полями"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(failed.out.isEmpty()) << failed.out.toStdString();
    EXPECT_TRUE(failed.err.startsWith(missing + ": ")) << failed.err.toStdString();

    const CommandRun unwritable = runCommand(
        tool::runPrepareCommand, {photo, dir.filePath("no/such/print.jpg"), "300", "200", "x"});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_TRUE(unwritable.out.isEmpty());
    EXPECT_TRUE(unwritable.err.startsWith("Cannot write ")) << unwritable.err.toStdString();
}
