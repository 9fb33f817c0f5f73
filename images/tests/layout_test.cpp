#include <gtest/gtest.h>

#include "images/layout.h"

using images::Placement;
using images::placePicture;
using images::ScaleImage;
using images::TScaleSize;

TEST(ScaleImage, FitsTheBoxEnlargingAndWidthFirstOnEqualRatios) {
    EXPECT_EQ(ScaleImage(1600, 1600, 800, 600), (TScaleSize{1600, 1200}));
    EXPECT_EQ(ScaleImage(1600, 1600, 2000, 2000), (TScaleSize{1600, 1600}));
    EXPECT_EQ(ScaleImage(1800, 1200, 3000, 2500), (TScaleSize{1440, 1200}));
    EXPECT_EQ(ScaleImage(1800, 1200, 3001, 2000), (TScaleSize{1800, 1199}));  // truncated
    EXPECT_EQ(ScaleImage(1600, 1600, 3000, 2000), (TScaleSize{1600, 1066}));
}

struct LayoutCase {
    const char* name;
    int width;
    int height;
    const char* how;
    Placement expected;
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.name;
}

class Layout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Layout, OnA1800By1200Canvas) {
    const LayoutCase& c = GetParam();
    EXPECT_EQ(placePicture({1800, 1200}, c.width, c.height, QString::fromUtf8(c.how)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Layout,
    ::testing::Values(
        LayoutCase{"same ratio", 3000, 2000, "С полями", {0, 0, 1800, 1200, true}},
        LayoutCase{
            "wide: bands above and below", 4000, 2000, "С полями", {0, 150, 1800, 900, true}},
        LayoutCase{
            "tall: bands left and right", 3000, 2500, "С полями", {180, 0, 1440, 1200, true}},
        LayoutCase{"one white row at the bottom", 3001, 2000, "С полями", {0, 0, 1800, 1199, true}},
        LayoutCase{"without borders cuts the sides",
                   4000,
                   2000,
                   "Без полей",
                   {-300, 0, 2400, 1200, false}},
        LayoutCase{
            "as is, cut and banded", 2000, 1000, "Подготовленный", {-100, 100, 2000, 1000, true}},
        LayoutCase{"as is, -99.5 rounds to -100",
                   1999,
                   1000,
                   "Подготовленный",
                   {-100, 100, 1999, 1000, true}},
        LayoutCase{"other case is as is", 2000, 1000, "с полями", {-100, 100, 2000, 1000, true}},
        LayoutCase{
            "other spacing is as is", 2000, 1000, "Без  полей", {-100, 100, 2000, 1000, true}},
        LayoutCase{
            "odd leftover of 3: 2 before", 1800, 1197, "Подготовленный", {0, 2, 1800, 1197, true}},
        LayoutCase{"odd leftover of 5: 2 before",
                   1800,
                   1195,
                   "Подготовленный",
                   {0, 2, 1800, 1195, true}}));

TEST(Layout, PreviewScale) {
    formats::TFormatsRecord format;
    format.Width_px = 1800;
    format.Height_px = 1200;
    const float proportion = 1600.0f / 3000.0f;
    EXPECT_FLOAT_EQ(proportion, 0.53333336f);
    const TScaleSize canvas = images::canvasSize(format, proportion);
    EXPECT_EQ(canvas, (TScaleSize{960, 640}));
    EXPECT_EQ(placePicture(canvas, 1600, 1066, QStringLiteral("С полями")),
              (Placement{0, 0, 960, 639, true}));
}
