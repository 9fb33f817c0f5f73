#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QThread>

#include "images/prepare.h"
#include "images/preview.h"
#include "images/previewahead.h"
#include "images/tests/printformat.h"
#include "platform/testing/jpegbytes.h"
#include "platform/testing/userfolders.h"

using images::Picture24;

namespace {

class Preview : public ::testing::Test {
protected:
    QString photo(const char* name, int width, int height) {
        const QString path = dir_.filePath(QString::fromUtf8(name));
        testing_support::writeFile(path, testing_support::encodedJpeg(width, height));
        return path;
    }
    QTemporaryDir dir_;
};

// Blue, green, red of a pixel.
std::array<int, 3> pixel(const Picture24& p, int x, int y) {
    const auto* at = reinterpret_cast<const uchar*>(p.bytes.constData()) + y * p.stride + x * 3;
    return {at[0], at[1], at[2]};
}

bool white(const std::array<int, 3>& bgr) {
    return bgr[0] >= 245 && bgr[1] >= 245 && bgr[2] >= 245;
}

}  // namespace

// The cache: landscape, 1600 wide, the proportion as a 32-bit float.
TEST_F(Preview, TheCacheIsTheTurnedPhoto1600Wide) {
    const images::PreviewCache portrait = images::openPreviewCache(photo("p.jpg", 2000, 3000));
    EXPECT_EQ(portrait.picture.width, 1600);
    EXPECT_EQ(portrait.picture.height, 1066);
    EXPECT_EQ(portrait.proportion, 0.53333336f);
    // The photo's left edge is dark red-free (its red grows to the right): turned
    // clockwise, the left edge is at the top.
    EXPECT_LT(pixel(portrait.picture, 800, 2)[2], 40);
    EXPECT_GT(pixel(portrait.picture, 800, 1063)[2], 215);

    const images::PreviewCache small = images::openPreviewCache(photo("s.jpg", 800, 600));
    EXPECT_EQ(small.picture.width, 1600);
    EXPECT_EQ(small.picture.height, 1200);
    EXPECT_EQ(small.proportion, 2.0f);
    EXPECT_THROW(images::openPreviewCache(dir_.filePath("missing.jpg")), images::PrepareError);
}

// A 3000 × 2000 photo at 1800 × 1200 "С полями": its 960 × 640 canvas (the photo with a
// white bottom row) stretched over the whole box, which the photo fills.
TEST_F(Preview, TheBoxShowsTheWholeCanvasStretched) {
    const images::PreviewCache cache = images::openPreviewCache(photo("l.jpg", 3000, 2000));
    const auto format = images::testing::printFormat(1800, 1200);
    const Picture24 opened = images::previewOf(cache, format, QStringLiteral("С полями"), true);
    EXPECT_EQ(opened.width, 460);
    EXPECT_EQ(opened.height, 304);
    for (const auto& [x, y] : {std::pair{1, 1}, {458, 1}, {1, 301}, {458, 301}, {230, 150}}) {
        EXPECT_FALSE(white(pixel(opened, x, y))) << x << "," << y;
    }
    // Rebuilt from the cache: not sharpened, so not the same picture.
    const Picture24 rebuilt = images::previewOf(cache, format, QStringLiteral("С полями"), false);
    EXPECT_EQ(rebuilt.width, 460);
    EXPECT_NE(rebuilt.bytes, opened.bytes);
}

// A turn moves pixels only: the grid is transposed.
TEST(PreviewTurn, ExactTransposeEitherWay) {
    Picture24 picture = Picture24::blank(460, 304);
    for (int y = 0; y < 304; ++y) {
        for (int x = 0; x < 460; ++x) {
            uchar* at = reinterpret_cast<uchar*>(picture.bytes.data()) + y * picture.stride + x * 3;
            at[0] = static_cast<uchar>(x);
            at[1] = static_cast<uchar>(y);
            at[2] = static_cast<uchar>(x ^ y);
        }
    }
    const Picture24 right = images::turned(picture, false);
    const Picture24 left = images::turned(picture, true);
    ASSERT_EQ(right.width, 304);
    ASSERT_EQ(right.height, 460);
    for (const auto& [x, y] : {std::pair{0, 0}, {459, 0}, {0, 303}, {123, 45}}) {
        EXPECT_EQ(pixel(right, 303 - y, x), pixel(picture, x, y));
        EXPECT_EQ(pixel(left, y, 459 - x), pixel(picture, x, y));
    }
    EXPECT_EQ(images::turned(right, true).bytes, picture.bytes);
}

// Caches decoded ahead are the very caches openPreviewCache makes; a photo changed
// since, one never asked for and one that cannot be decoded are not taken.
TEST_F(Preview, NeighboursDecodedAheadAreTheSameCaches) {
    const QString a = photo("a.jpg", 3000, 2000);
    const QString b = photo("b.jpg", 2000, 3000);
    const QString broken = dir_.filePath("broken.jpg");
    testing_support::writeFile(broken, "\xFF\xD8 not a picture");
    images::PreviewAhead ahead;
    ahead.prepare({a, b, broken});
    const std::optional<images::PreviewCache> got = ahead.take(b);
    ASSERT_TRUE(got);
    const images::PreviewCache direct = images::openPreviewCache(b);
    EXPECT_EQ(got->picture.bytes, direct.picture.bytes);
    EXPECT_EQ(got->proportion, direct.proportion);
    EXPECT_FALSE(ahead.take(broken));
    EXPECT_FALSE(ahead.take(dir_.filePath("never.jpg")));
    // Changed on disk after it was decoded: decoded anew by the caller.
    QThread::msleep(1100);  // a new modification time
    photo("a.jpg", 1000, 700);
    EXPECT_FALSE(ahead.take(a));
    // Asked again, the new picture is decoded.
    ahead.prepare({a});
    ASSERT_TRUE(ahead.take(a));
    EXPECT_EQ(ahead.take(a)->picture.height, 1120);
}
