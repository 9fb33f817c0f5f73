#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStringList>

#include "order/addfile.h"
#include "order/ordertable.h"
#include "order/testing/ordersamples.h"
#include "platform/testing/jpegbytes.h"
#include "platform/testing/noaccessoverride.h"
#include "platform/testing/userfolders.h"

using namespace order;
using testing_support::readFile;
using testing_support::writeFile;

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

class OrderTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        table_.setFileName(path());
    }

    QString path() const { return dir_.filePath(QStringLiteral("Data.csv")); }

    void addRow(const QString& file, int count = 1,
                const QString& format = QStringLiteral("10x15")) {
        table_.append();
        table_.setField(Field::File, file);
        table_.setField(Field::Count, count);
        table_.setField(Field::Format, format);
        table_.setField(Field::Param, QStringLiteral("С полями"));
        table_.setField(Field::Paper, QStringLiteral("Матовая"));
        table_.post();
    }

    QStringList files() const { return order::testing::filesOf(table_); }

    QTemporaryDir dir_;
    OrderTable table_;
};

}  // namespace

TEST_F(OrderTableTest, MissingFileOpensEmptyAndWritesNothingWhenUnchanged) {
    ASSERT_TRUE(table_.open());
    EXPECT_EQ(table_.rowCount(), 0);
    EXPECT_EQ(table_.position(), -1);
    EXPECT_FALSE(table_.isChanged());
    ASSERT_TRUE(table_.close());
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(OrderTableTest, UnchangedTableIsNotRewritten) {
    // A Windows-1251 file without a byte-order mark stays byte for byte as it was.
    const QByteArray original("File;Count\r\nC:\\\xD4.jpg;2\r\n");
    writeFile(path(), original);
    ASSERT_TRUE(table_.open());
    table_.next();
    table_.locate(QStringLiteral("c:\\\u0424.JPG"));
    ASSERT_TRUE(table_.close());
    EXPECT_EQ(readFile(path()), original);
}

TEST_F(OrderTableTest, AppendedRowsAreSavedOnCloseAndReadBack) {
    ASSERT_TRUE(table_.open());
    QSignalSpy changes(&table_, &OrderTable::dataChanged);
    addRow(QStringLiteral("/p/b.jpg"), 2);
    addRow(QStringLiteral("/p/a.jpg"), 3);
    EXPECT_EQ(changes.count(), 2);
    EXPECT_TRUE(table_.isChanged());
    EXPECT_EQ(table_.position(), 1);
    ASSERT_TRUE(table_.close());
    EXPECT_EQ(readFile(path()), kBom + "File;Count;Format;Param;Paper;Size;Width;Height\r\n" +
                                    QStringLiteral("/p/b.jpg;2;10x15;С полями;Матовая;;;\r\n"
                                                   "/p/a.jpg;3;10x15;С полями;Матовая;;;\r\n")
                                        .toUtf8());
    ASSERT_TRUE(table_.open());
    EXPECT_EQ(files(), (QStringList{"/p/b.jpg", "/p/a.jpg"}));
    EXPECT_EQ(table_.position(), 0);
    EXPECT_FALSE(table_.isChanged());
}

TEST_F(OrderTableTest, EditsPassTheValidatorAndCancelRestores) {
    ASSERT_TRUE(table_.open());
    addRow(QStringLiteral("/p/a.jpg"), 1);
    std::vector<Field> asked;
    table_.setValidator([&](Field field, const QVariant& value) {
        asked.push_back(field);
        return !(field == Field::Count && value.toInt() < 1);
    });
    table_.setReadOnly(Field::File, true);

    EXPECT_FALSE(table_.setField(Field::Count, 0));
    EXPECT_TRUE(table_.setField(Field::Count, 5));
    EXPECT_FALSE(table_.setField(Field::File, QStringLiteral("/other.jpg")));
    table_.post();
    EXPECT_EQ(table_.row(0).count, 5);
    EXPECT_EQ(table_.row(0).file, QStringLiteral("/p/a.jpg"));
    EXPECT_EQ(asked, (std::vector<Field>{Field::Count, Field::Count}));

    table_.edit();
    EXPECT_TRUE(table_.setField(Field::Format, QStringLiteral("9x13")));
    EXPECT_EQ(table_.value(Field::Format), QStringLiteral("9x13"));
    table_.cancel();
    EXPECT_EQ(table_.value(Field::Format), QStringLiteral("10x15"));
}

TEST_F(OrderTableTest, LocateFollowsTheKeyRule) {
    ASSERT_TRUE(table_.open());
    for (const char* file : {"/p/A.jpg", "/p/Фото.jpg", "/p/c.JPEG"}) {
        addRow(QString::fromUtf8(file));
    }
    EXPECT_TRUE(table_.locate(QStringLiteral("/P/a.JPG")));
    EXPECT_EQ(table_.position(), 0);
    EXPECT_TRUE(table_.locate(QStringLiteral("/p/C.jpeg")));
    EXPECT_EQ(table_.position(), 2);
    EXPECT_FALSE(table_.locate(QStringLiteral("/p/фото.jpg")));
    EXPECT_EQ(table_.position(), 2);
    EXPECT_FALSE(table_.locate(QStringLiteral("/p/c.JPEG ")));
}

TEST_F(OrderTableTest, SortRules) {
    writeFile(path(), kBom +
                          "File;Count;Format\r\n"
                          "a;10;9x13\r\nb;2;10x15\r\nc;abc;30x45\r\nd;-3;9x13\r\n");
    ASSERT_TRUE(table_.open());
    QSignalSpy scrolls(&table_, &OrderTable::afterScroll);

    table_.last();
    table_.sort(Field::Count, true);
    EXPECT_EQ(files(), (QStringList{"d", "b", "a", "c"}));  // a non-number counts as 99999.9
    EXPECT_EQ(table_.position(), 0);
    EXPECT_TRUE(table_.isChanged());
    EXPECT_EQ(scrolls.count(), 2);

    table_.sort(Field::Count, false);
    EXPECT_EQ(files(), (QStringList{"c", "a", "b", "d"}));

    table_.sort(Field::Format, true);
    EXPECT_EQ(table_.row(0).format, QStringLiteral("10x15"));  // text order
    EXPECT_EQ(table_.row(3).format, QStringLiteral("9x13"));

    table_.sort(Field::File, false);
    EXPECT_EQ(files(), (QStringList{"d", "c", "b", "a"}));
}

TEST(SortRule, NumbersWithinToleranceAreEqual) {
    OrderRow a;
    OrderRow b;
    a.count = 99999;
    EXPECT_LT(compareFieldValues(Field::Count, a, b), 0);  // b is empty: 99999.9
    a.count = 100000;
    EXPECT_GT(compareFieldValues(Field::Count, a, b), 0);
    b.count = 100000;
    EXPECT_EQ(compareFieldValues(Field::Count, a, b), 0);
}

TEST_F(OrderTableTest, DeleteRowsMovesTheCursorAsDocumented) {
    ASSERT_TRUE(table_.open());
    for (const char* file : {"a", "b", "c", "d", "e"}) {
        addRow(QString::fromLatin1(file));
    }
    table_.gotoBookmark(1);
    table_.deleteRows(3, 4);  // old position 1 is still inside the 3 rows left
    EXPECT_EQ(files(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(table_.position(), 0);

    table_.last();
    table_.deleteRows(2, 2);  // old position 2 lies past the end now
    EXPECT_EQ(files(), (QStringList{"a", "b"}));
    EXPECT_EQ(table_.position(), 1);

    table_.deleteRows(0, 5);
    EXPECT_EQ(table_.rowCount(), 0);
    EXPECT_EQ(table_.position(), -1);
}

TEST_F(OrderTableTest, CursorMovesStayInsideTheTable) {
    ASSERT_TRUE(table_.open());
    for (const char* file : {"a", "b", "c", "d"}) {
        addRow(QString::fromLatin1(file));
    }
    QSignalSpy scrolls(&table_, &OrderTable::afterScroll);
    table_.first();
    table_.prior();
    EXPECT_EQ(table_.position(), 0);
    table_.moveBy(2);
    EXPECT_EQ(table_.current().file, QStringLiteral("c"));
    table_.next();
    table_.next();
    EXPECT_EQ(table_.position(), 3);
    table_.moveBy(-10);
    EXPECT_EQ(table_.position(), 0);
    EXPECT_EQ(scrolls.count(), 4);  // first, moveBy(2), next, moveBy(-10); no-ops tell nothing
}

// Clearing deletes the file at once; the exit then rewrites it only when the table had
// unsaved changes, and then with the header alone.
TEST_F(OrderTableTest, EmptyDeletesTheFileAtOnceAndKeepsTheChangedFlag) {
    writeFile(path(), kBom + "File\r\nb\r\na\r\n");
    ASSERT_TRUE(table_.open());
    table_.empty();
    EXPECT_FALSE(QFile::exists(path()));
    EXPECT_EQ(table_.rowCount(), 0);
    ASSERT_TRUE(table_.close());
    EXPECT_FALSE(QFile::exists(path()));

    ASSERT_TRUE(table_.open());  // no file: starts empty
    writeFile(path(), kBom + "File\r\nb\r\na\r\n");
    ASSERT_TRUE(table_.open());
    table_.sort(Field::File, true);
    table_.empty();
    EXPECT_FALSE(QFile::exists(path()));
    ASSERT_TRUE(table_.close());
    EXPECT_EQ(readFile(path()), kBom + "File;Count;Format;Param;Paper;Size;Width;Height\r\n");
}

TEST_F(OrderTableTest, EditedRowFollowsTheHeaderUneditedRowKeepsItsLine) {
    writeFile(path(), kBom + "Count;File\r\n2;C:\\x.jpg\r\n1;C:\\y.jpg;junk\r\n");
    ASSERT_TRUE(table_.open());
    table_.sort(Field::File, true);
    table_.next();
    table_.setField(Field::Paper, QStringLiteral("Глянцевая"));
    table_.post();
    ASSERT_TRUE(table_.close());
    EXPECT_EQ(readFile(path()),
              kBom + QStringLiteral("Count;File;Format;Param;Paper;Size;Width;Height\r\n"
                                    "2;C:\\x.jpg\r\n"
                                    "1;C:\\y.jpg;;;Глянцевая;;;\r\n")
                         .toUtf8());
}

TEST_F(OrderTableTest, ReadFailureLeavesTheTableClosedWithTheMessage) {
    writeFile(path(), kBom + "File;Price\r\n");
    EXPECT_FALSE(table_.open());
    EXPECT_FALSE(table_.isOpen());
    EXPECT_EQ(table_.errorString(),
              QStringLiteral("ProcessCsvHeaderRow: Field Price found in file, but not in field "
                             "definitions"));
}

TEST_F(OrderTableTest, DamagedFileIsSetAsideAndAnEmptyTableOpened) {
    const QByteArray damaged = kBom + "File\r\n\"" + QByteArray(20000, 'x');
    writeFile(path(), damaged);
    const std::optional<QString> message = openSettingAsideDamaged(table_);
    ASSERT_TRUE(message);
    EXPECT_TRUE(message->startsWith(QStringLiteral("CSV string is too long: \"xxx")));
    EXPECT_TRUE(message->contains(path() + QStringLiteral(".damaged")));
    EXPECT_TRUE(table_.isOpen());
    EXPECT_EQ(table_.rowCount(), 0);
    addRow(QStringLiteral("/new.jpg"));
    ASSERT_TRUE(table_.close());
    EXPECT_EQ(readFile(path() + QStringLiteral(".damaged")), damaged);
    EXPECT_TRUE(readFile(path()).contains("/new.jpg"));
}

TEST_F(OrderTableTest, FailedSaveReportsAndKeepsRows) {
    // The order file's folder is a plain file: nothing can be created there.
    writeFile(dir_.filePath(QStringLiteral("folder")), "x");
    table_.setFileName(dir_.filePath(QStringLiteral("folder/Data.csv")));
    ASSERT_TRUE(table_.open());
    addRow(QStringLiteral("/a.jpg"));
    EXPECT_FALSE(table_.close());
    EXPECT_EQ(table_.errorString(),
              QStringLiteral("Unable to write to csv file ") + table_.fileName());
    EXPECT_TRUE(table_.isOpen());
    EXPECT_EQ(table_.rowCount(), 1);
    EXPECT_TRUE(table_.isChanged());
}

// A damaged file that cannot be set aside (its folder refuses changes) leaves the table
// closed, and a closed table takes nothing that its close would silently not save: no
// photo is added without a message, and the damaged file is never touched.
TEST_F(OrderTableTest, DamagedFileThatCannotBeSetAsideLeavesTheTableClosedAndRefusing) {
    const QByteArray damaged = kBom + "File;Price\r\n/x.jpg;1\r\n";
    writeFile(path(), damaged);
    const QString photo = dir_.filePath(QStringLiteral("photo.jpg"));
    writeFile(photo, testing_support::jpegHeaderFile(640, 480));
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner);
    {
        testing_support::NoAccessOverride asUser;
        const std::optional<QString> message = openSettingAsideDamaged(table_);
        ASSERT_TRUE(message);
        EXPECT_TRUE(message->contains(QStringLiteral("не удалось отложить")))
            << message->toStdString();
        EXPECT_FALSE(table_.isOpen());

        QSignalSpy changes(&table_, &OrderTable::dataChanged);
        EXPECT_FALSE(table_.append());
        EXPECT_FALSE(table_.setField(Field::File, QStringLiteral("/a.jpg")));
        table_.post();
        OrderRow row;
        row.file = QStringLiteral("/b.jpg");
        EXPECT_FALSE(table_.appendSorted(row, Field::File, true));
        table_.sort(Field::File, true);
        table_.empty();
        EXPECT_EQ(changes.count(), 0);
        EXPECT_EQ(table_.rowCount(), 0);
        EXPECT_THROW(addFile(table_, photo, QStringLiteral("10x15"), Field::File, true),
                     OrderClosedError);
        EXPECT_TRUE(table_.close());
    }
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(readFile(path()), damaged);
}

// The table may outlive whoever listened to it (at the end of the program the windows
// go first): closing it in its destructor, also after a failed save, sends no notice.
TEST_F(OrderTableTest, DestructionSendsNoNotices) {
    writeFile(dir_.filePath(QStringLiteral("folder")), "x");
    auto table = std::make_unique<OrderTable>();
    table->setFileName(dir_.filePath(QStringLiteral("folder/Data.csv")));
    ASSERT_TRUE(table->open());
    table->append();
    table->setField(Field::File, QStringLiteral("/a.jpg"));
    table->post();
    ASSERT_FALSE(table->close());
    int notices = 0;
    QObject::connect(table.get(), &OrderTable::dataChanged, [&notices] { ++notices; });
    QObject::connect(table.get(), &OrderTable::afterScroll, [&notices] { ++notices; });
    table.reset();
    EXPECT_EQ(notices, 0);
}

// A write that fails halfway (here: the file size limit, as on a full disk) leaves the
// old file whole and no stray temporary file behind.
TEST_F(OrderTableTest, SaveThatFailsHalfwayKeepsTheOldFile) {
    const QByteArray original = kBom + "File\r\n/old.jpg\r\n";
    writeFile(path(), original);
    ASSERT_TRUE(table_.open());
    for (int i = 0; i < 200; ++i) {
        addRow(QStringLiteral("/photos/a-rather-long-folder-name/IMG_%1.jpg").arg(i));
    }

    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous);
    rlimit oldLimit{};
    getrlimit(RLIMIT_FSIZE, &oldLimit);
    rlimit small = oldLimit;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool closed = table_.close();
    setrlimit(RLIMIT_FSIZE, &oldLimit);
    sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_FALSE(closed);
    EXPECT_EQ(table_.errorString(), QStringLiteral("Unable to write to csv file ") + path());
    EXPECT_EQ(readFile(path()), original);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"Data.csv"});
    EXPECT_EQ(table_.rowCount(), 201);
}
