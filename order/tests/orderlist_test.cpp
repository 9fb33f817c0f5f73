#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "order/listrules.h"
#include "order/orderlistmodel.h"
#include "order/ordertable.h"
#include "order/testing/ordersamples.h"

using namespace order;

namespace {

class OrderList : public ::testing::Test {
protected:
    void SetUp() override {
        catalogue_.resize(2);
        catalogue_[0].Name = "10x15";
        catalogue_[0].Width_mm = 152;
        catalogue_[0].DPI_Min = 150;
        catalogue_[1].Name = "30x20";
        catalogue_[1].Width_mm = 300;
        catalogue_[1].DPI_Min = 150;
        table_.setFileName(dir_.filePath("Data.csv"));
        ASSERT_TRUE(table_.open());
        table_.setReadOnly(Field::File, true);
        table_.setValidator([](Field field, const QVariant& value) {
            return acceptsValue(field, value, {"10x15", "30x20"});
        });
    }
    void add(const char* file, const char* format = "10x15", int width = 3000, int height = 2000) {
        table_.appendSorted(order::testing::sampleRow(QString::fromUtf8(file),
                                                      QString::fromUtf8(format), width, height),
                            Field::File, true);
    }
    QStringList files() const { return order::testing::filesOf(table_); }

    QTemporaryDir dir_;
    formats::TFormats catalogue_;
    OrderTable table_;
};

}  // namespace

TEST_F(OrderList, ModelShowsTheRowsAndPassesTheModelTester) {
    OrderListModel model(table_, catalogue_);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    add("C:\\Фото\\b.jpg");
    add("/home/u/a.jpg", "30x20", 1200, 800);
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole), "Файл");
    EXPECT_EQ(model.headerData(4, Qt::Horizontal, Qt::DisplayRole), "Тип бумаги");
    EXPECT_EQ(model.data(model.index(0, 0), Qt::DisplayRole), "a.jpg");
    EXPECT_EQ(model.data(model.index(1, 0), Qt::DisplayRole), "b.jpg");
    EXPECT_EQ(model.data(model.index(1, 1), Qt::DisplayRole), "1");
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model.flags(model.index(0, 2)) & Qt::ItemIsEditable);
    // 1200 px on 300 mm is 102 dpi: red; 3000 px on 152 mm is 501: not.
    EXPECT_EQ(model.data(model.index(0, 3), Qt::BackgroundRole).value<QBrush>().color(),
              QColor(255, 0, 0));
    EXPECT_FALSE(model.data(model.index(1, 3), Qt::BackgroundRole).isValid());
    EXPECT_EQ(model.data(model.index(0, 2), Qt::ToolTipRole),
              "Разрешение файла: 102 dpi\r\nЭтого разрешения недостаточно для печати фотографии в "
              "этом формате!");
    EXPECT_EQ(model.data(model.index(0, 0), Qt::ToolTipRole), "a.jpg");
    EXPECT_FALSE(model.data(model.index(1, 2), Qt::ToolTipRole).isValid());
    model.setWarningsShown(false);  // during an upload: no colour, the hint stays
    EXPECT_FALSE(model.data(model.index(0, 3), Qt::BackgroundRole).isValid());
    EXPECT_TRUE(model.data(model.index(0, 2), Qt::ToolTipRole).isValid());
    table_.deleteRows(0, 1);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(OrderList, TypedValuesAreValidated) {
    OrderListModel model(table_, catalogue_);
    QSignalSpy refused(&model, &OrderListModel::refused);
    add("a.jpg");
    const QModelIndex count = model.index(0, 1);
    EXPECT_FALSE(model.setData(count, QStringLiteral("0"), Qt::EditRole));
    EXPECT_FALSE(model.setData(count, QStringLiteral("abc"), Qt::EditRole));
    EXPECT_TRUE(model.setData(count, QStringLiteral("7"), Qt::EditRole));
    EXPECT_EQ(table_.row(0).count, 7);
    ASSERT_EQ(refused.count(), 1);
    EXPECT_EQ(refused.at(0).at(0).toString(),
              "'abc' is not a valid integer value for field 'Count'");

    EXPECT_FALSE(model.setData(model.index(0, 2), QStringLiteral("9x13"), Qt::EditRole));
    EXPECT_TRUE(model.setData(model.index(0, 2), QStringLiteral("30X20"), Qt::EditRole));
    EXPECT_EQ(table_.row(0).format, "30X20");  // stored as typed
    EXPECT_FALSE(model.setData(model.index(0, 3), QStringLiteral("с полями"), Qt::EditRole));
    EXPECT_FALSE(model.setData(model.index(0, 0), QStringLiteral("/other.jpg"), Qt::EditRole));
    EXPECT_EQ(table_.row(0).file, "a.jpg");
}

TEST_F(OrderList, TitleClicksSortDescendingFirst) {
    SortState sort;
    sort.titleClicked(Field::Format);
    EXPECT_EQ(sort.field, Field::Format);
    EXPECT_FALSE(sort.ascending);
    sort.titleClicked(Field::Format);
    EXPECT_TRUE(sort.ascending);
    sort.titleClicked(Field::File);
    EXPECT_EQ(sort.field, Field::File);
    EXPECT_FALSE(sort.ascending);
}

TEST_F(OrderList, BatchApplyToTheSelection) {
    for (const char* f : {"a", "b", "c", "d"}) {
        add(f, "30x20", 1200, 800);
    }
    applyToSelected(table_, {0, 2, 3}, Field::Count, 2);
    EXPECT_EQ(table_.row(0).count, 2);
    EXPECT_EQ(table_.row(1).count, 1);
    EXPECT_EQ(table_.row(3).count, 2);
    applyToSelected(table_, {}, Field::Count, 5);
    EXPECT_EQ(table_.row(0).count, 2);

    OrderListModel model(table_, catalogue_);
    EXPECT_TRUE(model.data(model.index(1, 0), Qt::BackgroundRole).isValid());
    applyToSelected(table_, {1}, Field::Param, QStringLiteral("Подготовленный"));
    EXPECT_EQ(table_.row(1).param, "Подготовленный");
    EXPECT_FALSE(model.data(model.index(1, 0), Qt::BackgroundRole).isValid());
}

TEST_F(OrderList, DeleteMovesTheCursorAsTheListNeeds) {
    for (const char* f : {"a", "b", "c", "d", "e"}) {
        add(f);
    }
    deleteSelected(table_, {1, 3});
    EXPECT_EQ(files(), (QStringList{"a", "c", "e"}));
    EXPECT_EQ(table_.position(), 1);

    table_.last();
    deleteSelected(table_, {});
    EXPECT_EQ(files(), (QStringList{"a", "c"}));
    EXPECT_EQ(table_.position(), 1);

    deleteSelected(table_, {0, 1});
    EXPECT_EQ(table_.rowCount(), 0);
    deleteSelected(table_, {});  // nothing left: nothing happens
}

TEST(ListRules, DisplayedFileNames) {
    EXPECT_EQ(displayedFileName("C:\\Фото\\IMG_1.JPG"), "IMG_1.JPG");
    EXPECT_EQ(displayedFileName("/home/u/a.jpg"), "a.jpg");
    EXPECT_EQ(displayedFileName("D:a.jpg"), "a.jpg");
    EXPECT_EQ(displayedFileName("plain.jpg"), "plain.jpg");
}
