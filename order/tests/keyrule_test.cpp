#include <gtest/gtest.h>

#include "order/keyrule.h"
#include "order/orderrow.h"

using order::compareKeys;
using order::keysEqual;

struct KeyCase {
    const char16_t* a;
    const char16_t* b;
    int expected;
};

class KeyRule : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyRule, Compares) {
    const KeyCase& c = GetParam();
    const int result = compareKeys(QString::fromUtf16(c.a), QString::fromUtf16(c.b));
    EXPECT_EQ((result > 0) - (result < 0), c.expected);
    const int reverse = compareKeys(QString::fromUtf16(c.b), QString::fromUtf16(c.a));
    EXPECT_EQ((reverse > 0) - (reverse < 0), -c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, KeyRule,
                         ::testing::Values(KeyCase{u"a.JPG", u"A.jpg", 0},
                                           KeyCase{u"C:\\Photos\\x.jpg", u"c:\\photos\\X.JPG", 0},
                                           KeyCase{u"Фото.jpg", u"фото.jpg", -1},  // Ф < ф
                                           KeyCase{u"ä.jpg", u"Ä.jpg", 1},  // only Latin A-Z fold
                                           KeyCase{u"abc", u"abcd", -1}, KeyCase{u"", u"a", -1},
                                           KeyCase{u"a_b", u"aZb", 1},  // folding to upper case
                                           KeyCase{u"10x15", u"9x13", -1},
                                           KeyCase{u"z", u"Я", -1}));

TEST(KeyRule, EqualityNeedsEqualLength) {
    EXPECT_TRUE(keysEqual(u"IMG.jpeg", u"img.JPEG"));
    EXPECT_FALSE(keysEqual(u"img.jpg", u"img.jpg "));
}

TEST(FieldNames, LookedUpWithoutLatinCase) {
    EXPECT_EQ(order::fieldByName(u"width"), order::Field::Width);
    EXPECT_EQ(order::fieldByName(u"FILE"), order::Field::File);
    EXPECT_EQ(order::fieldByName(u"Filename"), std::nullopt);
}

TEST(Integers, OnlyDecimal32BitValuesRead) {
    EXPECT_EQ(order::parseInteger(u"2147483647"), 2147483647);
    EXPECT_EQ(order::parseInteger(u"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(order::parseInteger(u"+7"), 7);
    for (const char16_t* bad : {u"", u"-", u"abc", u"2147483648", u"-2147483649", u"1.5", u"1e3",
                                u"$FF", u"0x10", u" 1", u"99999999999999999999"}) {
        EXPECT_EQ(order::parseInteger(QString::fromUtf16(bad)), std::nullopt)
            << QString::fromUtf16(bad).toStdString();
    }
}
