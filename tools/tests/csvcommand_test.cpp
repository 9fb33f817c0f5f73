#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/testing/userfolders.h"
#include "tools/csvcommand.h"
#include "tools/tests/commandrun.h"

using testing_support::readFile;
using testing_support::writeFile;

namespace {

CommandRun runCsv(const QStringList& args) {
    return runCommand(tool::runCsvCommand, args);
}

}  // namespace

TEST(CsvCommand, PrintsHeaderAndEightFieldsPerRowWithEscapes) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Data.csv"));
    writeFile(file,
              "\xEF\xBB\xBF"
              "Count;File\r\n"
              "2;\"C:\\a\tb\r\nc.jpg\"\r\n"
              "x;/p/d.jpg;junk\r\n");
    const CommandRun run = runCsv({file});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.toStdString(),
              "Count;File;Format;Param;Paper;Size;Width;Height\n"
              "C:\\\\a\\tb\\r\\nc.jpg\t2\t\t\t\t\t\t\n"
              "/p/d.jpg\t\t\t\t\t\t\t\n");
}

TEST(CsvCommand, LoadFailurePrintsTheMessageAndFails) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Data.csv"));
    writeFile(file, "File;;Count\r\n");
    const CommandRun run = runCsv({file});
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.out, QStringLiteral("Error processing first line of CSV file\n"));
}

TEST(CsvCommand, SaveWritesWhatTheProgramWould) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Data.csv"));
    const QString saved = dir.filePath(QStringLiteral("out.csv"));
    // An old Windows-1251 file: saved as UTF-8 with a mark, unchanged lines kept.
    writeFile(file, "File;Param\r\n/\xF4.jpg;\xD1 \xEF\xEE\xEB\xFF\xEC\xE8\r\n");
    const CommandRun run = runCsv({file, QStringLiteral("--save"), saved});
    EXPECT_EQ(run.status, 0) << run.out.toStdString();
    EXPECT_EQ(readFile(saved),
              "\xEF\xBB\xBF" + QStringLiteral("File;Param;Count;Format;Paper;Size;Width;Height\r\n"
                                              "/ф.jpg;С полями\r\n")
                                   .toUtf8());
}

TEST(CsvCommand, UsageErrors) {
    EXPECT_EQ(runCsv({}).status, 2);
    EXPECT_EQ(runCsv({QStringLiteral("a"), QStringLiteral("b")}).status, 2);
    EXPECT_EQ(runCsv({QStringLiteral("/no/such/Data.csv")}).status, 1);
}
