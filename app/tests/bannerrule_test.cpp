#include <gtest/gtest.h>

#include "app/artwork/windowgeometry.h"
#include "app/bannerrule.h"

namespace {

qint32 at(int year, int month, int day, int hour, int minute = 0, int second = 0) {
    return packDosDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second)));
}

}  // namespace

struct BannerCase {
    const char* name;
    qint32 file;
    qint32 now;
    bool fetch;
};

void PrintTo(const BannerCase& c, std::ostream* os) {
    *os << c.name;
}

class BannerRule : public ::testing::TestWithParam<BannerCase> {};

TEST_P(BannerRule, ComparesPackedTimes) {
    EXPECT_EQ(bannerIsOld(GetParam().now, GetParam().file), GetParam().fetch);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BannerRule,
    ::testing::Values(
        BannerCase{"two days: 131072, kept", at(2026, 5, 10, 10), at(2026, 5, 12, 10), false},
        BannerCase{"three days: 196608, fetched", at(2026, 5, 10, 10), at(2026, 5, 13, 10), true},
        BannerCase{"two days and 21 hours: 174080, fetched", at(2026, 5, 10, 1),
                   at(2026, 5, 12, 22), true},
        BannerCase{"31st to the 1st: date part 2, kept", at(2026, 5, 31, 12), at(2026, 6, 1, 12),
                   false},
        BannerCase{"a new year fetches", at(2026, 12, 31, 23), at(2027, 1, 1, 0), true},
        BannerCase{"into 2044, past the sign bit: fetched", at(2043, 12, 30, 10),
                   at(2044, 1, 2, 10), true},
        BannerCase{"within 2044: kept", at(2044, 5, 10, 10), at(2044, 5, 12, 10), false},
        BannerCase{"within 2100: fetched", at(2100, 5, 10, 10), at(2100, 5, 13, 10), true},
        BannerCase{"a file from the future is kept", at(2026, 5, 13, 10), at(2026, 5, 10, 10),
                   false},
        BannerCase{"now outside 1980-2107 packs to 0: kept", at(2026, 5, 10, 10),
                   packDosDateTime(QDateTime(QDate(2200, 1, 1), QTime(0, 0))), false},
        BannerCase{"an unreadable file time (-1) is old", -1, at(2026, 5, 10, 10), true}));

TEST(BannerRule, PackingExamples) {
    EXPECT_EQ(at(2026, 5, 12, 10) - at(2026, 5, 10, 10), 131072);
    EXPECT_EQ(at(2026, 5, 12, 22) - at(2026, 5, 10, 1), 174080);
    EXPECT_EQ(at(1980, 1, 1, 0, 0, 1), (33 << 16) | 0);  // seconds count in twos
    EXPECT_EQ(packDosDateTime(QDateTime(QDate(1979, 12, 31), QTime(23, 59))), 0);
}

TEST(DragStrip, Geometry) {
    EXPECT_TRUE(geometry::inDragStrip(300, 10));
    EXPECT_FALSE(geometry::inDragStrip(20, 10));
    EXPECT_FALSE(geometry::inDragStrip(100, 10));
    EXPECT_TRUE(geometry::inDragStrip(101, 29));
    EXPECT_FALSE(geometry::inDragStrip(300, 30));
    EXPECT_FALSE(geometry::inDragStrip(600, 0));
}
