#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <cstring>

#include "images/bmpfile.h"
#include "platform/testing/jpegbytes.h"
#include "platform/testing/userfolders.h"
#include "tools/tests/commandrun.h"
#include "tools/viewercommands.h"

using testing_support::readFile;
using testing_support::writeFile;

namespace {

// The 4 × 3 grey picture of the filter's own example, as a BMP file.
QByteArray exampleBmp() {
    images::Picture24 picture = images::Picture24::blank(4, 3);
    const int rows[3][4] = {{50, 50, 50, 50}, {50, 100, 80, 50}, {50, 50, 50, 50}};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            std::memset(picture.bytes.data() + y * picture.stride + x * 3, rows[y][x], 3);
        }
    }
    return images::bmp24(picture);
}

std::vector<int> middleRow(const QByteArray& bmp) {
    QString error;
    const images::Picture24 picture = images::readBmp24(bmp, &error);
    std::vector<int> values;
    for (int x = 0; x < picture.width; ++x) {
        values.push_back(static_cast<uchar>(picture.bytes[picture.stride + x * 3]));
    }
    return values;
}

}  // namespace

TEST(SharpenCommand, InPlaceOrSeparateAndTheRefusals) {
    QTemporaryDir dir;
    const QString in = dir.filePath("in.bmp");
    const QString out = dir.filePath("out.bmp");
    writeFile(in, exampleBmp());
    EXPECT_EQ(runCommand(tool::runSharpenCommand, {in, out, "2.0"}).status, 0);
    EXPECT_EQ(middleRow(readFile(out)), (std::vector<int>{50, 134, 87, 50}));
    EXPECT_EQ(runCommand(tool::runSharpenCommand, {in, out, "2.0", "--separate"}).status, 0);
    EXPECT_EQ(middleRow(readFile(out)), (std::vector<int>{50, 134, 94, 50}));

    const CommandRun strong = runCommand(tool::runSharpenCommand, {in, out, "6"});
    EXPECT_EQ(strong.status, 1);
    EXPECT_TRUE(strong.err.startsWith("Alpha must be >1 and <6")) << strong.err.toStdString();
    writeFile(in, "BM not really");
    EXPECT_EQ(runCommand(tool::runSharpenCommand, {in, out, "2"}).status, 1);
    EXPECT_EQ(runCommand(tool::runSharpenCommand, {in}).status, 2);
}

TEST(PreviewCommand, TheBoxAsTheViewerShowsItOrTurned) {
    QTemporaryDir dir;
    const QString photo = dir.filePath("photo.jpg");
    writeFile(photo, testing_support::encodedJpeg(1800, 1200));
    const QString out = dir.filePath("preview.bmp");
    QString error;
    EXPECT_EQ(runCommand(tool::runPreviewCommand, {photo, out, "1800", "1200", "С полями"}).status,
              0);
    images::Picture24 shown = images::readBmp24(readFile(out), &error);
    EXPECT_EQ(shown.width, 460);
    EXPECT_EQ(shown.height, 304);
    const QByteArray unturned = readFile(out);
    EXPECT_EQ(runCommand(tool::runPreviewCommand,
                         {photo, out, "1800", "1200", "С полями", "--turn", "left"})
                  .status,
              0);
    shown = images::readBmp24(readFile(out), &error);
    EXPECT_EQ(shown.width, 304);
    EXPECT_EQ(shown.height, 460);
    EXPECT_EQ(images::bmp24(images::turned(shown, false)), unturned);
    const CommandRun missing =
        runCommand(tool::runPreviewCommand, {dir.filePath("none.jpg"), out, "10", "10", "x"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(missing.err.isEmpty());
}

// A 54-byte header that claims 20 000 × 20 000 pixels is cut short, said before a byte
// is allocated for its rows: the tool runs here with its allocations bounded to 256 MB
// (a sanitizer's bound; other builds ignore it), which the 1.2 GB picture would pass.
TEST(SharpenCommand, AHeaderClaimingAHugePictureIsRefusedBeforeAllocating) {
    QTemporaryDir dir;
    QByteArray header = images::bmp24(images::Picture24::blank(1, 1)).left(54);
    for (const int at : {18, 22}) {
        const quint32 side = 20000;
        std::memcpy(header.data() + at, &side, 4);  // little-endian, as BMP
    }
    writeFile(dir.filePath("huge.bmp"), header);
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(
        QStringLiteral("ASAN_OPTIONS"),
        environment.value(QStringLiteral("ASAN_OPTIONS")) +
            QStringLiteral(":max_allocation_size_mb=256:allocator_may_return_null=1"));
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral(KORVELLA_TOOL_BINARY),
               {QStringLiteral("sharpen"), dir.filePath("huge.bmp"), dir.filePath("out.bmp"),
                QStringLiteral("0.5")});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_TRUE(tool.readAllStandardError().contains("cut short"));
}
