#include <gtest/gtest.h>

#include "service/replytext.h"
#include "service/splittext.h"

using service::SplitText;

TEST(SplitText, ShortSourceOrEmptySeparatorLeaveTheListAlone) {
    QStringList list{"keep"};
    EXPECT_EQ(SplitText(";", "ab", list), 0);
    EXPECT_EQ(SplitText("", "abcdef", list), 0);
    EXPECT_EQ(list, QStringList{"keep"});
}

TEST(SplitText, SplitsAtTheSeparatorAndAtLineBreaks) {
    QStringList list{"old"};
    EXPECT_EQ(SplitText(";", "a;b;;c\r\nd\ne\rf\r\n", list), 7);
    EXPECT_EQ(list, (QStringList{"a", "b", "", "c", "d", "e", "f"}));
    EXPECT_EQ(SplitText(":", "10x15:12.50:152", list), 3);
    EXPECT_EQ(list, (QStringList{"10x15", "12.50", "152"}));
    EXPECT_EQ(SplitText("/", QStringLiteral("host/a/b"), list), 3);
    EXPECT_EQ(SplitText(";", QString("ab;c") + QChar(u'\0') + ";d", list), 2);  // NUL ends
    EXPECT_EQ(SplitText(";", "abc;", list), 1);  // a final break opens no line
}

struct BodyCase {
    const char* name;
    QByteArray body;
    QString text;
};

void PrintTo(const BodyCase& c, std::ostream* os) {
    *os << c.name;
}

class ReplyText : public ::testing::TestWithParam<BodyCase> {};

TEST_P(ReplyText, DecodedAndEveryLineEndedWithCrLf) {
    EXPECT_EQ(service::replyText(GetParam().body), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplyText,
    ::testing::Values(
        BodyCase{"empty", "", ""}, BodyCase{"no final break", "abc", "abc\r\n"},
        BodyCase{"lone LF", "a\nb", "a\r\nb\r\n"}, BodyCase{"lone CR", "a\rb\r\n", "a\r\nb\r\n"},
        BodyCase{"empty lines kept", "a\n\nb\n", "a\r\n\r\nb\r\n"},
        BodyCase{"utf-8 mark", "\xEF\xBB\xBF\xD0\x9F\xD1\x80\xD0\xB8", QStringLiteral("При\r\n")},
        BodyCase{"same bytes without mark are Windows-1251", "\xD0\x9F", QStringLiteral("Рџ\r\n")},
        BodyCase{"windows-1251", "\xCF\xF0\xE8", QStringLiteral("При\r\n")},
        BodyCase{"utf-16 little-endian", QByteArray("\xFF\xFE\x1F\x04\x40\x04\n\x00", 8),
                 QStringLiteral("Пр\r\n")},
        BodyCase{"utf-16 big-endian", QByteArray("\xFE\xFF\x04\x1F\x04\x40", 6),
                 QStringLiteral("Пр\r\n")},
        BodyCase{"NUL ends the text", QByteArray("ab\0cd", 5), "ab\r\n"},
        BodyCase{"invalid utf-8 after the mark",
                 "\xEF\xBB\xBF"
                 "a\xC3(b",
                 QStringLiteral("a\uFFFD(b\r\n")}));
