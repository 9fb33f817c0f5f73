#include <gtest/gtest.h>

#include "order/resolution.h"

using order::OrderRow;
using order::printResolution;

namespace {

formats::TFormats catalogue() {
    formats::TFormats formats(3);
    formats[0].Name = "10x15";
    formats[0].Width_mm = 152;
    formats[0].DPI_Min = 150;
    formats[1].Name = "30x20";
    formats[1].Width_mm = 300;
    formats[1].DPI_Min = 150;
    formats[2].Name = "Пробный";
    formats[2].Width_mm = 100;
    formats[2].DPI_Min = 300;
    return formats;
}

OrderRow row(const QString& format, int width, int height,
             const QString& param = QStringLiteral("С полями")) {
    OrderRow r;
    r.format = format;
    r.width = width;
    r.height = height;
    r.param = param;
    return r;
}

}  // namespace

struct ResolutionCase {
    const char* name;
    OrderRow row;
    std::optional<int> dpi;
    bool warning;
};

void PrintTo(const ResolutionCase& c, std::ostream* os) {
    *os << c.name;
}

class Resolution : public ::testing::TestWithParam<ResolutionCase> {};

TEST_P(Resolution, FollowsTheRule) {
    const auto result = printResolution(GetParam().row, catalogue());
    ASSERT_EQ(result.has_value(), GetParam().dpi.has_value());
    if (result) {
        EXPECT_EQ(result->dpi, *GetParam().dpi);
        EXPECT_EQ(result->warning, GetParam().warning);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Resolution,
    ::testing::Values(
        ResolutionCase{"3000 x 2000 on 152 mm", row("10x15", 3000, 2000), 501, false},
        ResolutionCase{"1200 x 800 on 300 mm is low", row("30x20", 1200, 800), 102, true},
        ResolutionCase{"prepared photos are never flagged",
                       row("30x20", 1200, 800, QStringLiteral("Подготовленный")), 102, false},
        ResolutionCase{"portrait as landscape", row("30x20", 800, 1200), 102, true},
        ResolutionCase{"1181 px on 100 mm rounds to 300, enough", row("Пробный", 1181, 500), 300,
                       false},
        ResolutionCase{"format name without letter case", row("ПРОБНЫЙ", 1181, 500), 300, false},
        ResolutionCase{"unknown format", row("9x13", 3000, 2000), std::nullopt, false},
        ResolutionCase{"empty size", row("10x15", 0, 0), 0, true}));

TEST(ResolutionRule, WidthZeroGivesNothing) {
    EXPECT_EQ(order::effectiveResolution(3000, 2000, 0), std::nullopt);
    formats::TFormats zero(1);
    zero[0].Name = "10x15";
    EXPECT_FALSE(printResolution(row("10x15", 3000, 2000), zero));
}
