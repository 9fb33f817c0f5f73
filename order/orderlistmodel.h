#pragma once

#include <QAbstractTableModel>

#include "formats/formatsrecord.h"
#include "order/listcolumns.h"

namespace order {

class OrderTable;

// The order list's model over the order table: one row per photo, the columns of
// kListColumns. Rows whose print resolution is too low are red while
// warnings are shown (not during an upload). Values typed into cells go through the
// table's validation; a Count that is not a number is refused with a message.
// Lives on the user-interface thread with its table.
class OrderListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    OrderListModel(OrderTable& table, const formats::TFormats& catalogue,
                   QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Red rows only while no upload runs.
    void setWarningsShown(bool shown);

    static constexpr int kColumns = kListColumnCount;
    // Whether a cell's row is shown with the resolution warning (red, silver while
    // highlighted).
    static constexpr int WarningRole = Qt::UserRole + 1;

Q_SIGNALS:
    // A value was refused with a message for the user (a Count that is no number).
    void refused(const QString& message);

private:
    OrderTable& table_;
    const formats::TFormats& catalogue_;
    bool warningsShown_ = true;
    int shownRows_ = 0;
};

}  // namespace order
