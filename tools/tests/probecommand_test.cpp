#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/testing/jpegbytes.h"
#include "platform/testing/userfolders.h"
#include "tools/probecommand.h"
#include "tools/tests/commandrun.h"

TEST(ProbeCommand, OneLinePerFileAndFailureWhenAFileCannotBeOpened) {
    QTemporaryDir dir;
    const QString good = dir.filePath("good.jpg");
    const QString png = dir.filePath("png.jpg");
    const QByteArray jpeg = testing_support::jpegHeaderFile(300, 200);
    testing_support::writeFile(good, jpeg);
    testing_support::writeFile(png, "\x89PNG\r\n\x1A\n....");
    const QString missing = dir.filePath("missing.jpg");

    const CommandRun found = runCommand(tool::runProbeCommand, {good, png});
    const CommandRun lost = runCommand(tool::runProbeCommand, {missing});
    EXPECT_EQ(found.status, 0);
    EXPECT_EQ(lost.status, 1);
    EXPECT_EQ(found.out + lost.out,
              QStringLiteral("%1\taccept 300 200 %2\n%3\trefuse\n%4\tCannot open file \"%4\". "
                             "No such file or directory\n")
                  .arg(good)
                  .arg(jpeg.size())
                  .arg(png, missing));
}
