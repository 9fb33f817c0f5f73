#include <gtest/gtest.h>

#include "app/artwork/windowgeometry.h"
#include "app/bannercheck.h"
#include "app/bannerrule.h"
#include "labd/banner.h"

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

namespace {

void put16(QByteArray& out, int value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

// A GIF's block structure: a canvas, then frames of a size with a delay (hundredths),
// each frame's data one filler sub-block (the check never decodes it).
QByteArray gif(int width, int height, int frames, int delay, int frameWidth = -1) {
    QByteArray out("GIF89a");
    put16(out, width);
    put16(out, height);
    out += '\x80';  // a global colour table of 2 entries
    out += QByteArray(2, '\0');
    out += QByteArray(6, '\x7F');
    for (int i = 0; i < frames; ++i) {
        out += QByteArray("\x21\xF9\x04\x04", 4);
        put16(out, delay);
        out += QByteArray(2, '\0');
        out += ',';
        put16(out, 0);
        put16(out, 0);
        put16(out, frameWidth < 0 ? width : frameWidth);
        put16(out, height);
        out += '\0';
        out += '\x02';
        out += QByteArray("\x03\x01\x02\x03\x00", 5);
    }
    out += ';';
    return out;
}

}  // namespace

// The banner as labs draw it is shown; past any bound (bytes, size, frames, decoded
// memory, speed) or broken, it is refused before anything is decoded.
TEST(BannerLimits, WhatIsShownAndWhatIsRefused) {
    EXPECT_EQ(bannerRefusal(QByteArray::fromStdString(labd::bannerGif())), QString());
    EXPECT_EQ(bannerRefusal(gif(647, 210, 1, 0)), QString()) << "a still picture needs no delay";
    EXPECT_EQ(bannerRefusal(gif(647, 210, 40, 10)), QString());
    const struct {
        const char* name;
        QByteArray bytes;
    } refused[] = {
        {"5000 x 5000 frames", gif(5000, 5000, 200, 10)},
        {"a frame past its canvas", gif(600, 200, 2, 10, 6000)},
        {"frames that decode past 64 MB", gif(1294, 420, 40, 10)},
        {"more than 1000 frames", gif(8, 8, 1001, 10)},
        {"frames of 0 ms", gif(647, 210, 12, 0)},
        {"past 2 MB", gif(8, 8, 1, 0) + QByteArray(2 * 1024 * 1024, '\0')},
        {"not a GIF", QByteArray("\x89PNG\r\n\x1A\n", 8)},
        {"cut short", gif(647, 210, 3, 10).left(40)},
        {"no frame", gif(647, 210, 0, 10)},
    };
    for (const auto& c : refused) {
        EXPECT_NE(bannerRefusal(c.bytes), QString()) << c.name;
    }
}
