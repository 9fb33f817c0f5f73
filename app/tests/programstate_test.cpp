#include <gtest/gtest.h>

#include <QDir>

#include "app/programstate.h"
#include "order/testing/ordersamples.h"
#include "platform/testing/jpegbytes.h"
#include "platform/testing/userfolders.h"

using order::Field;
using order::testing::filesOf;
using testing_support::readFile;
using testing_support::writeFile;

namespace {

class State : public ::testing::Test {
protected:
    void SetUp() override {
        state_.Formats.resize(2);
        state_.Formats[0].Name = QStringLiteral("10x15");
        state_.Formats[1].Name = QStringLiteral("30x20");
        state_.updateFormatPickList();
    }
    QString photo(const char* name, int width = 1800, int height = 1200) {
        const QString path = dir_.filePath(QString::fromUtf8(name));
        writeFile(path, testing_support::jpegHeaderFile(width, height));
        return path;
    }
    QString dataFile() const { return dir_.filePath(QStringLiteral("Data.csv")); }

    QTemporaryDir dir_;
    ProgramState state_;
};

}  // namespace

// The order opens sorted by File, with File read-only and edits held to the pick
// lists of the catalogue as it is now.
TEST_F(State, TheOrderOpensSortedAndChecksEditsAgainstTheCatalogue) {
    writeFile(dataFile(),
              "\xEF\xBB\xBF"
              "File;Format\r\n/p/b.jpg;10x15\r\n/p/a.jpg;10x15\r\n");
    EXPECT_FALSE(state_.openOrder(dataFile()));
    EXPECT_EQ(filesOf(state_.Data), (QStringList{"/p/a.jpg", "/p/b.jpg"}));
    order::OrderTable& table = state_.Data;
    EXPECT_FALSE(table.setField(Field::File, QStringLiteral("/p/c.jpg")));
    EXPECT_TRUE(table.setField(Field::Format, QStringLiteral("30X20")));
    EXPECT_FALSE(table.setField(Field::Format, QStringLiteral("13x18")));
    state_.Formats.push_back({});
    state_.Formats.back().Name = QStringLiteral("13x18");
    state_.updateFormatPickList();
    EXPECT_EQ(state_.FormatPickList(), (QStringList{"10x15", "30x20", "13x18"}));
    EXPECT_TRUE(table.setField(Field::Format, QStringLiteral("13x18")));
    table.post();
    EXPECT_FALSE(state_.closeOrder());
    EXPECT_TRUE(readFile(dataFile()).contains("/p/a.jpg;13x18"));
}

// Photos are added with the catalogue's first format where the sort state puts them,
// and saving writes them at once.
TEST_F(State, PhotosJoinTheOrderByTheSortStateAndAreSaved) {
    EXPECT_FALSE(state_.openOrder(dataFile()));
    EXPECT_EQ(state_.addFile(photo("b.jpg")), order::AddOutcome::Added);
    EXPECT_EQ(state_.addFile(photo("a.jpg")), order::AddOutcome::Added);
    EXPECT_EQ(filesOf(state_.Data, true), (QStringList{"a.jpg", "b.jpg"}));
    EXPECT_EQ(state_.Data.row(0).format, QStringLiteral("10x15"));

    state_.sortByTitle(Field::File);  // the same column again: descending
    EXPECT_EQ(state_.Sort.field, Field::File);
    EXPECT_FALSE(state_.Sort.ascending);
    EXPECT_EQ(filesOf(state_.Data, true), (QStringList{"b.jpg", "a.jpg"}));
    EXPECT_EQ(state_.addFile(photo("c.jpg")), order::AddOutcome::Added);
    EXPECT_EQ(filesOf(state_.Data, true), (QStringList{"c.jpg", "b.jpg", "a.jpg"}));

    EXPECT_FALSE(state_.saveOrder());
    EXPECT_TRUE(readFile(dataFile()).contains("c.jpg"));
    EXPECT_FALSE(state_.Data.isChanged());
}

// A save that cannot be made is told, and the rows stay.
TEST_F(State, AFailedSaveAtTheEndIsTold) {
    writeFile(dir_.filePath(QStringLiteral("folder")), "x");
    EXPECT_FALSE(state_.openOrder(dir_.filePath(QStringLiteral("folder/Data.csv"))));
    state_.addFile(photo("a.jpg"));
    const std::optional<QString> problem = state_.closeOrder();
    ASSERT_TRUE(problem);
    EXPECT_TRUE(problem->startsWith(QStringLiteral("Unable to write to csv file ")));
    EXPECT_EQ(state_.Data.rowCount(), 1);
}
