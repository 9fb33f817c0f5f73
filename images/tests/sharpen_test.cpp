#include <gtest/gtest.h>

#include <QImage>
#include <vector>

#include "images/sharpen.h"

using images::Bitmap24;

namespace {

// A grey picture from rows of values (the three channels alike), in the filter's layout.
QImage grey(const std::vector<std::vector<int>>& rows) {
    QImage image(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()),
                 QImage::Format_BGR888);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int v = rows[y][x];
            image.setPixel(x, y, qRgb(v, v, v));
        }
    }
    return image;
}

Bitmap24 bitmap(QImage& image) {
    return {image.bits(), image.width(), image.height(), image.bytesPerLine()};
}

std::vector<int> row(const QImage& image, int y) {
    std::vector<int> values;
    for (int x = 0; x < image.width(); ++x) {
        values.push_back(qRed(image.pixel(x, y)));
    }
    return values;
}

}  // namespace

// One channel shown, Alpha 2.0: the centre with its four neighbours.
TEST(Sharpen, TheCentreAgainstItsNeighbours) {
    struct Case {
        int centre, neighbours, result;
    };
    for (const Case& c : std::vector<Case>{
             {100, 50, 140}, {200, 250, 160}, {128, 128, 128}, {250, 0, 255}, {0, 255, 0}}) {
        const int n = c.neighbours;
        QImage image = grey({{7, n, 7}, {n, c.centre, n}, {7, n, 7}});
        images::SharpenBitmap(bitmap(image), bitmap(image), 2.0f);
        EXPECT_EQ(qRed(image.pixel(1, 1)), c.result) << c.centre << " among " << n;
        EXPECT_EQ(qBlue(image.pixel(1, 1)), c.result);
        // A 3 × 3 bitmap changes only its centre.
        EXPECT_EQ(row(image, 0), (std::vector<int>{7, n, 7}));
        EXPECT_EQ(row(image, 2), (std::vector<int>{7, n, 7}));
        EXPECT_EQ(qRed(image.pixel(0, 1)), n);
        EXPECT_EQ(qRed(image.pixel(2, 1)), n);
    }
}

// In place, a pixel reads its left neighbour already filtered; a separate destination
// reads the source only.
TEST(Sharpen, InPlaceAndSeparateDiffer) {
    const std::vector<std::vector<int>> rows = {
        {50, 50, 50, 50}, {50, 100, 80, 50}, {50, 50, 50, 50}};
    QImage inPlace = grey(rows);
    images::SharpenBitmap(bitmap(inPlace), bitmap(inPlace), 2.0f);
    EXPECT_EQ(row(inPlace, 1), (std::vector<int>{50, 134, 87, 50}));
    EXPECT_EQ(row(inPlace, 0), (std::vector<int>{50, 50, 50, 50}));
    EXPECT_EQ(row(inPlace, 2), (std::vector<int>{50, 50, 50, 50}));

    QImage source = grey(rows);
    QImage destination(source.size(), QImage::Format_BGR888);
    destination.fill(Qt::black);
    images::SharpenBitmap(bitmap(source), bitmap(destination), 2.0f);
    EXPECT_EQ(row(destination, 1), (std::vector<int>{50, 134, 94, 50}));
    EXPECT_EQ(row(destination, 0), (std::vector<int>{50, 50, 50, 50}));
    EXPECT_EQ(row(destination, 2), (std::vector<int>{50, 50, 50, 50}));
    EXPECT_EQ(row(source, 1), (std::vector<int>{50, 100, 80, 50}));
}

// Too small a bitmap or too weak or strong an Alpha: the assertion's text, nothing
// written.
TEST(Sharpen, RefusedSizesAndStrengths) {
    struct Case {
        int width, height;
        float alpha;
        const char* text;
    };
    for (const Case& c : std::vector<Case>{
             {2, 3, 2.0f, "Bitmap must be at least 3x3 (ShowImage.pas, line 199)"},
             {3, 2, 2.0f, "Bitmap must be at least 3x3 (ShowImage.pas, line 199)"},
             {3, 3, 1.0f, "Alpha must be >1 and <6 (ShowImage.pas, line 200)"},
             {3, 3, 6.0f, "Alpha must be >1 and <6 (ShowImage.pas, line 200)"},
         }) {
        QImage image(c.width, c.height, QImage::Format_BGR888);
        image.fill(qRgb(10, 200, 10));
        image.setPixel(c.width / 2, c.height / 2, qRgb(250, 0, 250));
        const QImage before = image.copy();
        try {
            images::SharpenBitmap(bitmap(image), bitmap(image), c.alpha);
            ADD_FAILURE() << "no assertion for " << c.width << "x" << c.height;
        } catch (const images::SharpenAssertion& e) {
            EXPECT_EQ(e.text(), QString::fromLatin1(c.text));
        }
        EXPECT_EQ(image, before);
    }
}
