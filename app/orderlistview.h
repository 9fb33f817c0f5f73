#pragma once

#include <QHeaderView>
#include <QStringList>
#include <QStyledItemDelegate>
#include <vector>

// How the order list (DBGrid1) looks and edits: its titles and its cell editors.

// The list's titles: each on the colour the model gives for it, white bold lettering,
// and the sort marker (up while ascending) on the sorted column only.
class ListHeader : public QHeaderView {
    Q_OBJECT

public:
    explicit ListHeader(QWidget* parent = nullptr);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

// Cell editors: a choice from the pick list for Format, Param and Paper (typing
// picks the first value that begins with the typed letters, without letter case), a
// line for Count so that a
// value that is no number reaches the table's check, and none for File. Rows with the
// resolution warning are drawn red, silver while highlighted.
class OrderListDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    // formatPickList: the Format column's choices, read when an editor opens.
    OrderListDelegate(const QStringList& formatPickList, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

    // The choices of a column; empty for File and Count.
    QStringList pickList(int column) const;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    const QStringList& formatPickList_;
};

class QTableView;

// The list's look and behaviour as a table: whole-row selection to start with, no
// editing until the list edits, the cell font, colours that keep the selection visible
// without the focus, fixed rows of 17 pixels, the columns' first widths, sorted by File
// ascending, and never a sideways scroll (the columns always fill its width).
void setUpOrderListView(QTableView& view);

// The columns' widths for the list's width now: every column but File as wide as its
// title (with the sort marker when sorted by it) and its longest value need, File the
// rest.
std::vector<int> orderListColumnWidths(const QTableView& view, const OrderListDelegate& delegate);
