#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>

#include "order/orderfile.h"
#include "platform/testing/testfiles.h"
#include "platform/windows1251.h"

using namespace order;

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

// The table as text: the header, then one line per row with the eight fields
// separated by "|" (empty integers as nothing).
QString describe(const OrderFileContents& contents) {
    QStringList lines{contents.layout.header};
    for (const StoredRow& stored : contents.rows) {
        QStringList fields;
        for (const Field field : kAllFields) {
            fields << stored.row.text(field);
        }
        lines << fields.join(u'|');
    }
    return lines.join(u'\n');
}

QByteArray utf8(const char* text) {
    return kBom + QByteArray(text);
}

}  // namespace

struct ReadCase {
    const char* name;
    QByteArray bytes;
    QString expected;  // describe() of the result, or the error message
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadOrderFile : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadOrderFile, GivesRowsOrError) {
    const ReadCase& c = GetParam();
    QString error;
    const std::optional<OrderFileContents> contents = parseOrderFile(c.bytes, &error);
    const QString actual = contents ? describe(*contents) : QStringLiteral("ERROR ") + error;
    EXPECT_EQ(actual.toStdString(), c.expected.toStdString());
}

const QString kStd = QStringLiteral("File;Count;Format;Param;Paper;Size;Width;Height");

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadOrderFile,
    ::testing::Values(
        ReadCase{"empty file", QByteArray(), kStd}, ReadCase{"only a byte-order mark", kBom, kStd},
        ReadCase{"utf8 row",
                 utf8("File;Count;Format;Param;Paper;Size;Width;Height\r\n"
                      "C:\\Фото\\IMG_0001.JPG;1;10x15;С полями;Матовая;2345678;3000;2000\r\n"),
                 kStd + QStringLiteral("\nC:\\Фото\\IMG_0001.JPG|1|10x15|С полями|Матовая|"
                                       "2345678|3000|2000")},
        ReadCase{"windows-1251 without a mark",
                 QByteArray("File;Param\r\nC:\\") +
                     platform::toWindows1251(QStringLiteral("Фото;Подготовленный\r\n")),
                 QStringLiteral("File;Param;Count;Format;Paper;Size;Width;Height\n"
                                "C:\\Фото|||Подготовленный||||")},
        ReadCase{"header in another order and case, missing names appended",
                 utf8("Count;File\r\n2;C:\\x.jpg\r\n"),
                 QStringLiteral("Count;File;Format;Param;Paper;Size;Width;Height\n"
                                "C:\\x.jpg|2||||||")},
        ReadCase{"header names trimmed and cut at a colon",
                 utf8(" FILE:String ;\tcount:Integer\t\r\nx.jpg;3\r\n"),
                 QStringLiteral(" FILE:String ;\tcount:Integer\t;Format;Param;Paper;Size;Width;"
                                "Height\nx.jpg|3||||||")},
        ReadCase{"quoted path with separator and doubled quote",
                 utf8("File;Count\r\n\"C:\\a;b \"\"c\"\".jpg\";4\r\n"),
                 QStringLiteral("File;Count;Format;Param;Paper;Size;Width;Height\n"
                                "C:\\a;b \"c\".jpg|4||||||")},
        ReadCase{"line break inside quotes belongs to the line",
                 utf8("File;Count\r\n\"a\r\nb\";5\r\n"),
                 QStringLiteral("File;Count;Format;Param;Paper;Size;Width;Height\n"
                                "a\r\nb|5||||||")},
        ReadCase{"CR alone and LF alone end lines, empty lines skipped",
                 utf8("File;Count\r\r\na;1\rb;2\n\n\nc;3"),
                 QStringLiteral("File;Count;Format;Param;Paper;Size;Width;Height\n"
                                "a|1||||||\nb|2||||||\nc|3||||||")},
        ReadCase{"values trimmed, non-numbers empty, texts cut to width, a format held whole",
                 utf8("File;Count;Format;Size;Width;Height;Param;Paper\r\n"
                      " x.jpg \t;abc;  Полароид 10x10 ; 12 ;1.5;99999999999;Подготовленный!;"
                      "Глянцевая бумага\r\n"),
                 QStringLiteral("File;Count;Format;Size;Width;Height;Param;Paper\n"
                                "x.jpg||Полароид 10x10|Подготовленный|Глянцевая |12||")},
        ReadCase{"fewer fields empty, extra fields ignored",
                 utf8("File;Count;Format\r\na.jpg\r\nb.jpg;2;9x13;x;y;z\r\n"),
                 QStringLiteral("File;Count;Format;Param;Paper;Size;Width;Height\n"
                                "a.jpg|||||||\nb.jpg|2|9x13|||||")},
        ReadCase{"quotes kept around an integer make it no number",
                 utf8("File;Count\r\na;\"7\"\r\n"),
                 QStringLiteral("File;Count;Format;Param;Paper;Size;Width;Height\na|||||||")},
        ReadCase{"unknown header name", utf8("File;Name\r\n"),
                 QStringLiteral("ERROR ProcessCsvHeaderRow: Field Name found in file, but not "
                                "in field definitions")},
        ReadCase{"empty header name", utf8("File;;Count\r\n"),
                 QStringLiteral("ERROR Error processing first line of CSV file")},
        ReadCase{"header of only a line break", QByteArray("\r\n"),
                 QStringLiteral("ERROR Error processing first line of CSV file")},
        ReadCase{"binary garbage", QByteArray("\x00\x01\xFF\xFE garbage\x7F", 13),
                 QStringLiteral("ERROR ProcessCsvHeaderRow: Field ") +
                     platform::fromWindows1251(QByteArray("\x00\x01\xFF\xFE garbage\x7F", 13)) +
                     QStringLiteral(" found in file, but not in field definitions")}));

TEST(ReadOrderFileLimits, LineOfMaximumLengthIsRead) {
    const QByteArray path(kMaxLineLength - 2, 'p');
    QString error;
    const auto contents = parseOrderFile(utf8("File;Count\r\n") + path + ";1\r\n", &error);
    ASSERT_TRUE(contents) << error.toStdString();
    EXPECT_EQ(contents->rows.at(0).row.file.size(), kMaxLineLength - 2);
}

TEST(ReadOrderFileLimits, LongerLineFailsWithItsStart) {
    const QByteArray line =
        "0123456789012345678901234567890123456789" + QByteArray(kMaxLineLength - 40 + 1, 'x');
    QString error;
    EXPECT_FALSE(parseOrderFile(utf8("File\r\n") + line + "\r\n", &error));
    EXPECT_EQ(error.toStdString(),
              "CSV string is too long: 0123456789012345678901234567890123456789...");
}

TEST(ReadOrderFileLimits, TooManyFieldsFail) {
    QByteArray ok("File");
    ok += QByteArray(kMaxFieldsPerLine - 1, ';');
    QString error;
    EXPECT_TRUE(parseOrderFile(utf8("File\r\n") + ok + "\r\n", &error)) << error.toStdString();
    EXPECT_FALSE(parseOrderFile(utf8("File\r\n") + ok + ";\r\n", &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("CSV line has more than 120 fields")));
}

TEST(ReadOrderFileLimits, HostileInputEndsInAnError) {
    QString error;
    // A quote that never closes swallows the rest of the file into one line.
    EXPECT_FALSE(parseOrderFile(utf8("File\r\n\"") + QByteArray(20000, 'a'), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("CSV string is too long")));
    EXPECT_FALSE(parseOrderFile(QByteArray(10 * 1024 * 1024, 'A'), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("CSV string is too long")));
    EXPECT_FALSE(parseOrderFile(utf8("File\r\n") + QByteArray(10000, ';'), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("CSV line has more than")));
}

TEST(WriteOrderFile, StandardLayoutWithQuotingOnlyWhereNeeded) {
    OrderRow plain{QStringLiteral("C:\\Фото\\IMG_0001.JPG"),
                   1,
                   QStringLiteral("10x15"),
                   QStringLiteral("С полями"),
                   QStringLiteral("Матовая"),
                   2345678,
                   3000,
                   2000};
    OrderRow odd{QStringLiteral("/a;b/\"q\".jpg"),
                 std::nullopt,
                 QString(),
                 QStringLiteral("Подготовленный"),
                 QString(),
                 -5,
                 std::nullopt,
                 0};
    const QByteArray bytes = serializeOrderFile(OrderFileLayout::standard(),
                                                {{plain, std::nullopt}, {odd, std::nullopt}});
    EXPECT_EQ(bytes.toStdString(),
              (kBom + QStringLiteral("File;Count;Format;Param;Paper;Size;Width;Height\r\n"
                                     "C:\\Фото\\IMG_0001.JPG;1;10x15;С полями;Матовая;2345678;"
                                     "3000;2000\r\n"
                                     "\"/a;b/\"\"q\"\".jpg\";;;Подготовленный;;-5;;0\r\n")
                          .toUtf8())
                  .toStdString());
}

TEST(WriteOrderFile, UnchangedRowsKeepTheirLineChangedRowsFollowTheHeader) {
    QString error;
    auto contents =
        parseOrderFile(utf8("Count;File\r\n2;C:\\x.jpg;extra\r\n3;C:\\y.jpg\r\n"), &error);
    ASSERT_TRUE(contents);
    contents->rows[1].row.count = 4;
    contents->rows[1].lineAsRead.reset();
    EXPECT_EQ(serializeOrderFile(contents->layout, contents->rows).toStdString(),
              utf8("Count;File;Format;Param;Paper;Size;Width;Height\r\n"
                   "2;C:\\x.jpg;extra\r\n"
                   "4;C:\\y.jpg;;;;;;\r\n")
                  .toStdString());
}

TEST(WriteOrderFile, ValuesSurviveASaveAndReload) {
    const QString longPath =
        QStringLiteral("/photos/") + QString(300, u'д') + QStringLiteral(".jpg");
    std::vector<StoredRow> rows;
    for (const QString& path : {QStringLiteral("/фото/é/日本.jpg"), longPath,
                                QStringLiteral(" /lead.jpg"), QStringLiteral("/trail.jpg\t"),
                                QStringLiteral("/a\"b;c\\d.jpg"), QStringLiteral("C:\\x\\y.JPG")}) {
        rows.push_back({OrderRow{path, 3, QStringLiteral("30x45"), QStringLiteral("Подготовленный"),
                                 QStringLiteral("Глянцевая"), 1, 2, 3},
                        std::nullopt});
    }
    QString error;
    const auto reread =
        parseOrderFile(serializeOrderFile(OrderFileLayout::standard(), rows), &error);
    ASSERT_TRUE(reread) << error.toStdString();
    ASSERT_EQ(reread->rows.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(reread->rows[i].row, rows[i].row) << i;
    }
}

// Inputs the fuzzer found, kept as files under tests/data: whatever a file held, the
// table read from it reads back the same after a save that writes every row anew.
TEST(WriteOrderFile, FuzzFindingsReadBackAfterASave) {
    for (const char* name : {"fuzz-blank-ends.csv"}) {
        QFile file(testing_support::testData("order", name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        QString error;
        const auto contents = parseOrderFile(file.readAll(), &error);
        ASSERT_TRUE(contents) << name << ": " << error.toStdString();
        std::vector<StoredRow> rows;
        for (const StoredRow& stored : contents->rows) {
            rows.push_back({stored.row, std::nullopt});
        }
        const auto again = parseOrderFile(serializeOrderFile(contents->layout, rows), &error);
        ASSERT_TRUE(again) << name;
        ASSERT_EQ(again->rows.size(), rows.size()) << name;
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(again->rows[i].row, rows[i].row) << name << " row " << i;
        }
    }
}
