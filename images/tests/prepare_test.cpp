#include <gtest/gtest.h>
#include <vips/vips8>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <vector>

#include "images/bordersize.h"
#include "images/jpegcodec.h"
#include "images/layout.h"
#include "images/prepare.h"
#include "images/preview.h"
#include "images/printcanvas.h"
#include "images/tests/printformat.h"
#include "images/vipsinit.h"
#include "platform/testing/jpegbytes.h"
#include "platform/testing/testfiles.h"
#include "platform/testing/userfolders.h"

using testing_support::corpusFile;
using testing_support::corpusPresent;
using testing_support::inCi;
using testing_support::testData;
using vips::VImage;

namespace {

formats::TFormatsRecord format(int widthPx, int heightPx) {
    return images::testing::printFormat(widthPx, heightPx);
}

}  // namespace

TEST(DecodeScale, TheSmallestEighthThatLeavesTheDrawnSize) {
    struct Case {
        int width, height, neededWidth, neededHeight, scale;
    };
    for (const Case& c : std::vector<Case>{
             {6028, 3391, 1800, 1200, 3},  // 2261 x 1272
             {6000, 4000, 1800, 1200, 3},
             {6000, 4000, 1501, 1000, 3},
             {6000, 4000, 1500, 1000, 2},
             {6000, 4000, 750, 500, 1},
             {6000, 4000, 751, 500, 2},
             {5640, 3172, 1800, 1200, 4},  // 3/8 would leave 1190 rows
             {6028, 3391, 5400, 3038, 8},  // 7/8 would leave 5275 columns
             {100, 100, 200, 200, 8},      // never enlarged by the decoder
             {9, 9, 3, 3, 2},              // scaled sizes are rounded up: 9 * 2 / 8 -> 3
         }) {
        EXPECT_EQ(images::decodeScale(c.width, c.height, c.neededWidth, c.neededHeight), c.scale)
            << c.width << "x" << c.height << " for " << c.neededWidth << "x" << c.neededHeight;
    }
    // libvips's loader, used for CMYK photos, shrinks by powers of two only.
    EXPECT_EQ(images::decodeShrink(6000, 4000, 1800, 1200), 2);
    EXPECT_EQ(images::decodeShrink(6000, 4000, 750, 500), 8);
    EXPECT_EQ(images::decodeShrink(6000, 4000, 751, 500), 4);
    EXPECT_EQ(images::decodeShrink(100, 100, 200, 200), 1);
}

TEST(QuickLayout, GivesTheSameCanvasAsTheStraightforwardOrderOfSteps) {
    // The quick way decodes at a reduced DCT scale and turns after scaling; the
    // reference decodes everything, turns first, then lays out.
    struct Case {
        QString photo;
        const char* how;
    };
    const QString landscape = testData("images", "landscape.jpg");
    std::vector<Case> cases = {{landscape, "С полями"}, {landscape, "Без полей"}};
    if (corpusPresent() || inCi()) {
        // A large photo (6 MP), turned by its orientation tag only, which is ignored.
        cases.push_back({corpusFile("rec-Landscape_6.jpg"), "С полями"});
        cases.push_back({corpusFile("rec-Landscape_6.jpg"), "Без полей"});
    }
    for (const Case& c : cases) {
        const QString& path = c.photo;
        images::ensureVips();
        const VImage full = VImage::new_from_file(QFile::encodeName(path).constData());
        const bool portrait = full.height() > full.width();
        const QString how = QString::fromUtf8(c.how);
        const VImage reference = images::layoutCanvas(portrait ? full.rot(VIPS_ANGLE_D90) : full,
                                                      format(300, 200), how, 1.0f);
        const images::PrintCanvas quick = images::layOutPrint(path, format(300, 200), how);
        ASSERT_EQ(quick.image.width(), reference.width());
        ASSERT_EQ(quick.image.height(), reference.height());
        ASSERT_NE(quick.decoded, nullptr) << "decoded at a reduced scale by libjpeg-turbo";
        const double mean =
            (quick.image.cast(VIPS_FORMAT_FLOAT) - reference.cast(VIPS_FORMAT_FLOAT)).abs().avg();
        EXPECT_LT(mean, 1.5) << path.toStdString() << " " << c.how;
    }
}

struct PhotoCase {
    QString photo;
    bool prints;
};

void expectPrintedOrRefused(const std::vector<PhotoCase>& cases) {
    for (const PhotoCase& c : cases) {
        if (c.prints) {
            const QImage print = QImage::fromData(
                images::preparePrint(c.photo, format(240, 160), QStringLiteral("С полями")), "JPG");
            EXPECT_EQ(print.size(), QSize(240, 160)) << c.photo.toStdString();
        } else {
            EXPECT_THROW(
                images::preparePrint(c.photo, format(240, 160), QStringLiteral("С полями")),
                images::PrepareError)
                << c.photo.toStdString();
        }
    }
}

TEST(RealPhotos, PrintOrRaiseAClearError) {
    expectPrintedOrRefused({
        {testData("images", "progressive.jpg"), true},
        {testData("images", "arithmetic.jpg"), true},
        {testData("images", "samples-12bit.jpg"), false},
        {testData("images", "missing-sos.jpg"), false},
        {testData("images", "cut-before-frame.jpg"), false},
    });
}

TEST(CorpusPhotos, PrintOrRaiseAClearError) {
    KORVELLA_NEED_CORPUS();
    expectPrintedOrRefused({
        {corpusFile("gen-testorig-arith-progressive.jpg"), true},
        {corpusFile("pil-hopper_orientation_6.jpg"), true},  // the tag is not applied
        {corpusFile("pil-icc_profile_big.jpg"), true},
        {corpusFile("jd-jpeg_lossless_sel1.jpg"), false},  // lossless
    });
}

TEST(RealPhotos, ATruncatedPhotoSaysItIsCutShort) {
    const QString path = testData("images", "truncated.jpg");
    try {
        images::preparePrint(path, format(240, 160), QStringLiteral("С полями"));
        FAIL() << "a truncated photo was printed";
    } catch (const images::PrepareError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("файл снимка обрезан: в нём нет конца изображения"));
    }
}

// Small files that would make decoding hold gigabytes or take minutes are refused
// with a message naming the photo, before the work, for the print and the viewer alike;
// the same kinds of photo within the limits print.
TEST(HostilePhotos, AreRefusedBeforeTheWork) {
    using testing_support::JpegMaking;
    // A progressive photo whose frame claims 15811 x 15811 pixels: 1.5 GB of
    // coefficients for 2 KB of file.
    QByteArray claimsHuge = testing_support::encodedJpeg(64, 64, JpegMaking{false, true, 0});
    const qsizetype frame = claimsHuge.indexOf("\xFF\xC2");
    ASSERT_GT(frame, 0);
    for (const int at : {5, 7}) {  // height, then width, after length and precision
        claimsHuge[frame + at] = static_cast<char>(15811 >> 8);
        claimsHuge[frame + at + 1] = static_cast<char>(15811 & 0xFF);
    }
    // A baseline photo whose frame claims 65500 x 65500 pixels in 2 KB of file.
    QByteArray bomb = testing_support::encodedJpeg(64, 64);
    const qsizetype sof = bomb.indexOf("\xFF\xC0");
    ASSERT_GT(sof, 0);
    for (const int at : {5, 7}) {
        bomb[sof + at] = static_cast<char>(65500 >> 8);
        bomb[sof + at + 1] = static_cast<char>(65500 & 0xFF);
    }
    struct Case {
        const char* name;
        QByteArray bytes;
        QString refusal;  // empty: printed
    };
    const std::vector<Case> cases = {
        {"baseline claims 4.3 gigapixels", bomb,
         QStringLiteral("снимок слишком велик (65500 × 65500 точек)")},
        {"claims 250 megapixels", claimsHuge,
         QStringLiteral("для разбора снимка нужно больше 512 МБ памяти")},
        {"190 scans", testing_support::encodedJpeg(64, 48, JpegMaking{false, true, 0}),
         QStringLiteral("в снимке слишком много проходов (сканов)")},
        {"253 scans, CMYK (libvips decodes it)",
         testing_support::encodedJpeg(64, 48, JpegMaking{true, true, 0}),
         QStringLiteral("в снимке слишком много проходов (сканов)")},
        {"1001 comments", testing_support::encodedJpeg(64, 48, JpegMaking{false, false, 1001}),
         QStringLiteral("в снимке слишком много служебных меток")},
        {"CMYK", testing_support::encodedJpeg(64, 48, JpegMaking{true, false, 0}), {}},
        {"1000 comments", testing_support::encodedJpeg(64, 48, JpegMaking{false, false, 1000}), {}},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromLatin1(c.name) + ".jpg");
        testing_support::writeFile(path, c.bytes);
        for (const bool viewer : {false, true}) {
            try {
                if (viewer) {
                    images::openPreviewCache(path);
                } else {
                    images::preparePrint(path, format(240, 160), QStringLiteral("С полями"));
                }
                EXPECT_TRUE(c.refusal.isEmpty()) << "taken, viewer " << viewer;
            } catch (const images::PrepareError& e) {
                EXPECT_EQ(e.text().toStdString(), c.refusal.toStdString()) << "viewer " << viewer;
                EXPECT_FALSE(c.refusal.isEmpty());
            }
        }
    }
}

TEST(JpegEncoding, WritesJfifAndNothingElseOfThePhoto) {
    images::ensureVips();
    const VImage grey = VImage::black(64, 48, VImage::option()->set("bands", 3)) + 128;
    const QByteArray jpeg = images::encodeJpeg(grey.cast(VIPS_FORMAT_UCHAR), 80);
    EXPECT_TRUE(jpeg.startsWith(QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11)));
    EXPECT_EQ(QImage::fromData(jpeg, "JPG").size(), QSize(64, 48));
    EXPECT_THROW(images::encodeJpeg(grey, 80), images::PrepareError);  // not 8-bit
}

TEST(QuickLayout, LargePhotosStreamFromTheLoaderAndGiveTheSamePrint) {
    // Over 64 MB decoded, a photo is not decoded whole: a landscape one streams into
    // the print, a portrait one is held only once scaled.
    images::ensureVips();
    QTemporaryDir dir;
    const VImage xy = VImage::xyz(6200, 3800);
    const VImage picture =
        (xy.extract_band(0) / 17)
            .bandjoin({xy.extract_band(1) / 10, (xy.extract_band(0) + xy.extract_band(1)) / 26})
            .cast(VIPS_FORMAT_UCHAR);
    for (const bool portrait : {false, true}) {
        const QString path = dir.filePath(portrait ? "portrait.jpg" : "landscape.jpg");
        const VImage photo = portrait ? picture.rot(VIPS_ANGLE_D270) : picture;
        photo.jpegsave(QFile::encodeName(path).constData(), VImage::option()->set("Q", 95));
        const VImage full = VImage::new_from_file(QFile::encodeName(path).constData());
        const VImage reference =
            images::layoutCanvas(portrait ? full.rot(VIPS_ANGLE_D90) : full, format(6000, 4000),
                                 QStringLiteral("С полями"), 1.0f);
        const images::PrintCanvas quick =
            images::layOutPrint(path, format(6000, 4000), QStringLiteral("С полями"));
        EXPECT_EQ(quick.decoded != nullptr, portrait);
        ASSERT_EQ(quick.image.width(), 6000);
        ASSERT_EQ(quick.image.height(), 4000);
        const double mean =
            (quick.image.cast(VIPS_FORMAT_FLOAT) - reference.cast(VIPS_FORMAT_FLOAT)).abs().avg();
        EXPECT_LT(mean, 1.0) << (portrait ? "portrait" : "landscape");

        // Cut short, it is refused as it streams.
        QFile whole(path);
        ASSERT_TRUE(whole.open(QIODevice::ReadWrite));
        ASSERT_TRUE(whole.resize(whole.size() / 2));
        whole.close();
        try {
            images::preparePrint(path, format(6000, 4000), QStringLiteral("С полями"));
            ADD_FAILURE() << "a truncated photo was printed";
        } catch (const images::PrepareError& e) {
            EXPECT_EQ(e.text(),
                      QStringLiteral("файл повреждён или это не фотография в формате JPEG"));
        }
    }
}
