#include <gtest/gtest.h>

#include "platform/windows1251.h"

using platform::fromWindows1251;
using platform::toWindows1251;

TEST(Windows1251, CyrillicAndAsciiRoundTrip) {
    const QString text = QStringLiteral("C:\\Фото\\Ёлка №1;ё.jpg");
    const QByteArray bytes = toWindows1251(text);
    EXPECT_EQ(bytes.size(), text.size());
    EXPECT_EQ(static_cast<unsigned char>(bytes.at(3)), 0xD4);  // Ф
    EXPECT_EQ(fromWindows1251(bytes), text);
}

TEST(Windows1251, EveryDefinedByteRoundTrips) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        if (b != 0x98) {
            all.append(static_cast<char>(b));
        }
    }
    const QString text = fromWindows1251(all);
    EXPECT_FALSE(text.contains(QChar(0xFFFD)));
    EXPECT_EQ(toWindows1251(text), all);
}

TEST(Windows1251, UndefinedByteAndMissingCharacters) {
    EXPECT_EQ(fromWindows1251(QByteArray("\x98", 1)), QString(QChar(0xFFFD)));
    EXPECT_EQ(toWindows1251(QStringLiteral("é日本a")), QByteArray("???a"));
}
