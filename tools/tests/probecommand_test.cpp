#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/testing/jpegbytes.h"
#include "platform/testing/userfolders.h"
#include "probecommand.h"

TEST(ProbeCommand, OneLinePerFileAndFailureWhenAFileCannotBeOpened) {
    QTemporaryDir dir;
    const QString good = dir.filePath("good.jpg");
    const QString png = dir.filePath("png.jpg");
    const QByteArray jpeg = testing_support::jpegHeaderFile(300, 200);
    testing_support::writeFile(good, jpeg);
    testing_support::writeFile(png, "\x89PNG\r\n\x1A\n....");
    const QString missing = dir.filePath("missing.jpg");

    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    EXPECT_EQ(tool::runProbeCommand({good, png}, outStream, errStream), 0);
    EXPECT_EQ(tool::runProbeCommand({missing}, outStream, errStream), 1);
    outStream.flush();
    EXPECT_EQ(out, QStringLiteral("%1\taccept 300 200 %2\n%3\trefuse\n%4\tCannot open file \"%4\". "
                                  "No such file or directory\n")
                       .arg(good)
                       .arg(jpeg.size())
                       .arg(png, missing));
}
