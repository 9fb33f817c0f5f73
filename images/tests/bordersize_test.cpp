#include <gtest/gtest.h>
#include <vips/vips8>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include "images/bordersize.h"
#include "images/layout.h"
#include "images/prepare.h"
#include "images/tests/printformat.h"
#include "images/vipsinit.h"
#include "platform/testing/testfiles.h"
#include "platform/testing/userfolders.h"

using testing_support::corpusFile;
using testing_support::testData;
using vips::VImage;

namespace {

formats::TFormatsRecord format(int widthPx, int heightPx) {
    return images::testing::printFormat(widthPx, heightPx);
}

// A solid red picture.
VImage red(int width, int height) {
    images::ensureVips();
    return VImage::black(width, height, VImage::option()->set("bands", 3))
        .new_from_image(std::vector<double>{255, 0, 0})
        .cast(VIPS_FORMAT_UCHAR)
        .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

QImage canvasOf(const VImage& picture, int widthPx, int heightPx, const char* how,
                float proportion = 1.0f) {
    QByteArray bmp;
    QBuffer stream(&bmp);
    stream.open(QIODevice::WriteOnly);
    EXPECT_TRUE(images::BorderSize(stream, picture, format(widthPx, heightPx),
                                   QString::fromUtf8(how), proportion));
    return QImage::fromData(bmp, "BMP");
}

bool isWhite(QRgb c) {
    return qRed(c) > 250 && qGreen(c) > 250 && qBlue(c) > 250;
}
bool isRed(QRgb c) {
    return qRed(c) > 250 && qGreen(c) < 5 && qBlue(c) < 5;
}

// The first and last rows and columns holding red.
QRect redArea(const QImage& image) {
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isRed(image.pixel(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace

struct CanvasCase {
    const char* name;
    int width;
    int height;
    const char* how;
    QRect red;  // on a 180 x 120 canvas (the 1800 x 1200 table at a tenth)
};

void PrintTo(const CanvasCase& c, std::ostream* os) {
    *os << c.name;
}

class Canvas : public ::testing::TestWithParam<CanvasCase> {};

TEST_P(Canvas, WhiteBandsAndCutsWhereTheLayoutSays) {
    const CanvasCase& c = GetParam();
    const QImage canvas = canvasOf(red(c.width, c.height), 180, 120, c.how);
    ASSERT_EQ(canvas.size(), QSize(180, 120));
    EXPECT_EQ(redArea(canvas), c.red);
    EXPECT_TRUE(isWhite(canvas.pixel(0, 0)) || c.red.contains(0, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Canvas,
    ::testing::Values(
        CanvasCase{"same ratio fills", 300, 200, "С полями", QRect(0, 0, 180, 120)},
        CanvasCase{"wide: white above and below", 400, 200, "С полями", QRect(0, 15, 180, 90)},
        CanvasCase{"tall: white left and right", 300, 250, "С полями", QRect(18, 0, 144, 120)},
        CanvasCase{"without borders covers", 400, 200, "Без полей", QRect(0, 0, 180, 120)},
        CanvasCase{"as is: cut sides, white bands", 200, 100, "Подготовленный",
                   QRect(0, 10, 180, 100)}));

TEST(Canvas, AsIsCutsTheColumnsOutsideTheCanvas) {
    // A picture whose left half is blue and right half red, at its own size on a
    // narrower canvas: 10 columns cut on each side (x = -10).
    images::ensureVips();
    const VImage blue = VImage::black(100, 100, VImage::option()->set("bands", 3))
                            .new_from_image(std::vector<double>{0, 0, 255})
                            .cast(VIPS_FORMAT_UCHAR);
    const VImage picture =
        blue.insert(red(100, 100), 100, 0, VImage::option()->set("expand", true));
    const QImage canvas = canvasOf(picture, 180, 120, "как есть");
    EXPECT_EQ(redArea(canvas), QRect(90, 10, 90, 100));
    EXPECT_EQ(qBlue(canvas.pixel(0, 50)), 255);  // blue column 10 is the first shown
    EXPECT_TRUE(isWhite(canvas.pixel(0, 5)));
}

TEST(Canvas, PreviewScale) {
    const QImage canvas = canvasOf(red(1600, 1066), 1800, 1200, "С полями", 1600.0f / 3000.0f);
    ASSERT_EQ(canvas.size(), QSize(960, 640));
    EXPECT_EQ(redArea(canvas), QRect(0, 0, 960, 639));
    EXPECT_TRUE(isWhite(canvas.pixel(480, 639)));
}

class PreparedPrint : public ::testing::Test {
protected:
    QString write(const char* name, const VImage& picture) {
        const QString path = dir_.filePath(QString::fromUtf8(name));
        picture.jpegsave(QFile::encodeName(path).constData(), VImage::option()->set("Q", 95));
        return path;
    }
    QTemporaryDir dir_;
};

TEST_F(PreparedPrint, IsAJfifJpegOf300DpiAtTheFormatsSize) {
    const QString path = write("landscape.jpg", red(600, 400));
    const QByteArray jpeg = images::preparePrint(path, format(180, 120), "С полями");
    ASSERT_TRUE(jpeg.startsWith("\xFF\xD8\xFF\xE0"));
    const qsizetype at = jpeg.indexOf(QByteArray("JFIF\0", 5));
    ASSERT_GE(at, 0);
    ASSERT_LT(at, 50);
    EXPECT_EQ(jpeg.mid(at + 7, 5), QByteArray("\x01\x01\x2C\x01\x2C", 5));
    EXPECT_EQ(jpeg.indexOf("Exif"), -1);
    EXPECT_EQ(jpeg.indexOf("ICC_PROFILE"), -1);
    const QImage print = QImage::fromData(jpeg, "JPG");
    EXPECT_EQ(print.size(), QSize(180, 120));
    EXPECT_EQ(print.dotsPerMeterX(), 11811);  // 300 dpi
}

TEST_F(PreparedPrint, APortraitPhotoIsTurnedClockwise) {
    // 400 x 600 red with a blue top-left corner: turned clockwise, that corner is at the
    // top right of the print.
    const VImage corner = VImage::black(100, 100, VImage::option()->set("bands", 3))
                              .new_from_image(std::vector<double>{0, 0, 255})
                              .cast(VIPS_FORMAT_UCHAR);
    const QString path = write("portrait.jpg", red(400, 600).insert(corner, 0, 0));
    const QImage print =
        QImage::fromData(images::preparePrint(path, format(600, 400), "С полями"), "JPG");
    ASSERT_EQ(print.size(), QSize(600, 400));
    EXPECT_GT(qBlue(print.pixel(560, 40)), 200);
    EXPECT_LT(qBlue(print.pixel(40, 40)), 60);
    EXPECT_LT(qBlue(print.pixel(560, 360)), 60);
}

// The number of colour components a JPEG's frame header gives (3 for RGB, 1 for grey,
// 4 for CMYK); 0 when it has none.
static int jpegComponents(const QByteArray& jpeg) {
    for (qsizetype at = 2; at + 9 < jpeg.size();) {
        if (static_cast<uchar>(jpeg[at]) != 0xFF) {
            return 0;
        }
        const auto marker = static_cast<uchar>(jpeg[at + 1]);
        const int length = static_cast<uchar>(jpeg[at + 2]) << 8 | static_cast<uchar>(jpeg[at + 3]);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            return static_cast<uchar>(jpeg[at + 9]);
        }
        at += 2 + length;
    }
    return 0;
}

// CMYK and grey photos print in colour: the print's JPEG has three components (what a
// lab's RGB printer takes), whatever the photo had.
static void expectRgbPrints(const std::vector<QString>& paths) {
    for (const QString& path : paths) {
        const QByteArray bytes = images::preparePrint(path, format(120, 80), "Без полей");
        EXPECT_EQ(QImage::fromData(bytes, "JPG").size(), QSize(120, 80)) << path.toStdString();
        EXPECT_EQ(jpegComponents(bytes), 3) << path.toStdString();
    }
}

TEST_F(PreparedPrint, CmykAndGreyPhotosGiveRgbPrints) {
    expectRgbPrints({testData("images", "cmyk.jpg"), testData("images", "grey.jpg")});
}

TEST_F(PreparedPrint, CorpusCmykPhotoGivesAnRgbPrint) {
    KORVELLA_NEED_CORPUS();
    expectRgbPrints({corpusFile("pil-pil_sample_cmyk.jpg")});
}

TEST_F(PreparedPrint, BrokenPhotosRaiseAClearError) {
    for (const QString& path :
         {testData("images", "truncated.jpg"), testData("images", "bomb-65500x65500.jpg")}) {
        EXPECT_THROW(images::preparePrint(path, format(120, 80), "С полями"), images::PrepareError)
            << path.toStdString();
    }
    // An empty file is no photo.
    const QString empty = dir_.filePath("empty.jpg");
    testing_support::writeFile(empty, QByteArray());
    EXPECT_THROW(images::preparePrint(empty, format(120, 80), "С полями"), images::PrepareError);
}

TEST_F(PreparedPrint, APngUnderAJpegNameStillPrints) {
    KORVELLA_NEED_CORPUS();
    EXPECT_NO_THROW(
        images::preparePrint(corpusFile("ljt-testorig.png.jpg"), format(120, 80), "С полями"));
}

TEST(DensityStamp, OnlyWhereAJfifSegmentStands) {
    QByteArray withJfif =
        QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x48\x00\x48", 18);
    images::stampDensity(withJfif);
    EXPECT_EQ(withJfif.mid(13, 5), QByteArray("\x01\x01\x2C\x01\x2C", 5));
    QByteArray without = QByteArray(
                             "\xFF\xD8\xFF\xE1\x00\x10"
                             "Exif\x00\x00",
                             12) +
                         QByteArray(60, 'x');
    const QByteArray before = without;
    images::stampDensity(without);
    EXPECT_EQ(without, before);
}
