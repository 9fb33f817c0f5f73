#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "order/addfile.h"
#include "order/ordertable.h"
#include "order/readjpeginfo.h"
#include "platform/testing/jpegbytes.h"
#include "platform/testing/noaccessoverride.h"
#include "platform/testing/userfolders.h"

using namespace order;
using testing_support::jpegHeaderFile;
using testing_support::writeFile;

namespace {

class AddFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        table_.setFileName(dir_.filePath(QStringLiteral("Data.csv")));
        ASSERT_TRUE(table_.open());
    }
    QString photo(const QString& name, int width = 640, int height = 480) {
        const QString path = dir_.filePath(name);
        writeFile(path, jpegHeaderFile(width, height));
        return path;
    }
    AddOutcome add(const QString& path) {
        return addFile(table_, path, QStringLiteral("10x15"), Field::File, true);
    }

    QTemporaryDir dir_;
    OrderTable table_;
};

}  // namespace

TEST_F(AddFileTest, NewPhotoGetsTheDefaultsAndTheTableIsSorted) {
    const QString b = photo("b.jpg", 3000, 2000);
    const QString a = photo("a.jpg");
    EXPECT_EQ(add(b), AddOutcome::Added);
    EXPECT_EQ(add(a), AddOutcome::Added);
    ASSERT_EQ(table_.rowCount(), 2);
    EXPECT_EQ(table_.position(), 0);
    const OrderRow& row = table_.row(1);
    EXPECT_EQ(row, (OrderRow{b, 1, QStringLiteral("10x15"), QStringLiteral("С полями"),
                             QStringLiteral("Матовая"), static_cast<qint32>(QFileInfo(b).size()),
                             3000, 2000}));
    EXPECT_EQ(table_.row(0).file, a);
}

TEST_F(AddFileTest, SamePathInOtherLatinCaseMovesTheCursorAndKeepsTheCount) {
    const QString lower = photo("x.jpg");
    const QString upper = photo("X.JPG");  // a different file on this system, same key
    photo("z.jpg");
    ASSERT_EQ(add(lower), AddOutcome::Added);
    ASSERT_EQ(add(dir_.filePath("z.jpg")), AddOutcome::Added);
    table_.last();
    table_.first();
    table_.setField(Field::Count, 4);
    table_.post();
    table_.last();
    EXPECT_EQ(add(upper), AddOutcome::AlreadyListed);
    EXPECT_EQ(table_.rowCount(), 2);
    EXPECT_EQ(table_.position(), 0);
    EXPECT_EQ(table_.row(0).count, 4);
}

TEST_F(AddFileTest, RefusedFilesLeaveNoTrace) {
    QDir(dir_.path()).mkdir(QStringLiteral("folder.jpg"));
    writeFile(dir_.filePath("picture.jpg"),
              QByteArray("\x89PNG\r\n\x1A\n", 8) + QByteArray(100, 0));
    for (const char* name : {"missing.jpg", "folder.jpg", "picture.jpg"}) {
        EXPECT_EQ(add(dir_.filePath(name)), AddOutcome::Refused) << name;
    }
    EXPECT_EQ(table_.rowCount(), 0);
    EXPECT_FALSE(table_.isChanged());
}

TEST_F(AddFileTest, UnreadableFileRaisesTheError) {
    const QString locked = photo("locked.jpg");
    QFile::setPermissions(locked, QFile::WriteOwner);
    testing_support::NoAccessOverride asUser;
    try {
        add(locked);
        ADD_FAILURE() << "no error raised";
    } catch (const FileOpenError& e) {
        EXPECT_EQ(e.text(),
                  QStringLiteral("Cannot open file \"%1\". Permission denied").arg(locked));
    }
    EXPECT_EQ(table_.rowCount(), 0);
}

TEST(JpegExtension, LatinLowerCasedTextFromTheLastDot) {
    for (const char* yes : {"/p/A.JPG", "/p/b.JpEg", "/p/.jpg", "/p/x.png.jpg", "c.jpeg"}) {
        EXPECT_TRUE(hasJpegExtension(QString::fromUtf8(yes))) << yes;
    }
    for (const char* no : {"/p/c.png", "/p/x.jpg.png", "/p/noext", "/p.jpg/file", "/p/a.jpg ",
                           "/p/a.jpe", "/p/a.JPЕG"}) {
        EXPECT_FALSE(hasJpegExtension(QString::fromUtf8(no))) << no;
    }
}

// Adding row by row must give the order a full sort of all rows gives, whatever sort
// state the list is in.
TEST(AppendSorted, MatchesAFullStableSort) {
    QTemporaryDir dir;
    for (const auto& [field, ascending] : {std::pair{Field::File, true},
                                           {Field::Count, false},
                                           {Field::Format, true},
                                           {Field::Count, true}}) {
        OrderTable added;
        OrderTable sorted;
        added.setFileName(dir.filePath("a.csv"));
        sorted.setFileName(dir.filePath("b.csv"));
        ASSERT_TRUE(added.open());
        ASSERT_TRUE(sorted.open());
        QRandomGenerator random(42);
        for (int i = 0; i < 200; ++i) {
            OrderRow row;
            row.file = QStringLiteral("/p/%1.jpg").arg(random.bounded(1000));
            if (random.bounded(5) != 0) {
                row.count = static_cast<qint32>(random.bounded(12));
            }
            row.format = QStringLiteral("%1x15").arg(random.bounded(8));
            added.appendSorted(row, field, ascending);
            sorted.append();
            for (const Field f : kAllFields) {
                sorted.setField(f, row.value(f));
            }
            sorted.post();
        }
        sorted.sort(field, ascending);
        ASSERT_EQ(added.rowCount(), sorted.rowCount());
        for (int i = 0; i < added.rowCount(); ++i) {
            ASSERT_EQ(added.row(i), sorted.row(i)) << "row " << i;
        }
        added.empty();
        sorted.empty();
    }
}
