#include "order/orderlistmodel.h"

#include <QBrush>
#include <QColor>

#include "order/listcolumns.h"
#include "order/listrules.h"
#include "order/ordertable.h"
#include "order/resolution.h"

namespace order {

OrderListModel::OrderListModel(OrderTable& table, const formats::TFormats& catalogue,
                               QObject* parent)
    : QAbstractTableModel(parent),
      table_(table),
      catalogue_(catalogue),
      shownRows_(table.rowCount()) {
    // The table tells only that something changed. With as many rows as before, the
    // rows are shown again in place, so the view keeps its selection (positions) and
    // current cell; otherwise the view starts over.
    connect(&table_, &OrderTable::dataChanged, this, [this] {
        if (table_.rowCount() == shownRows_) {
            if (shownRows_ > 0) {
                Q_EMIT dataChanged(index(0, 0), index(shownRows_ - 1, kColumns - 1));
            }
            return;
        }
        beginResetModel();
        shownRows_ = table_.rowCount();
        endResetModel();
    });
}

int OrderListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int OrderListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant OrderListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || index.row() >= table_.rowCount()) {
        return {};
    }
    const Field field = columnField(index.column());
    const OrderRow& row = table_.row(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return field == Field::File ? displayedFileName(row.file) : row.text(field);
        case Qt::EditRole:
            return row.value(field);
        case Qt::TextAlignmentRole:
            return field == Field::Format || field == Field::Param
                       ? QVariant(Qt::AlignCenter)
                       : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::ToolTipRole: {
            // The file column names the file; the others warn about a coarse print.
            if (field == Field::File) {
                return displayedFileName(row.file);
            }
            const auto resolution = printResolution(row, catalogue_);
            if (resolution && resolution->warning) {
                return QStringLiteral(
                           "Разрешение файла: %1 dpi\r\nЭтого разрешения недостаточно для "
                           "печати фотографии в этом формате!")
                    .arg(resolution->dpi);
            }
            return {};
        }
        case Qt::BackgroundRole:
            return data(index, WarningRole).toBool() ? QVariant(QBrush(QColor(255, 0, 0)))
                                                     : QVariant();
        case WarningRole: {
            const auto resolution = printResolution(row, catalogue_);
            return warningsShown_ && resolution && resolution->warning;
        }
        default:
            return {};
    }
}

QVariant OrderListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section >= 0 && section < kColumns) {
        switch (role) {
            case Qt::DisplayRole:
                return QString::fromUtf8(kListColumns.at(section).title);
            case Qt::BackgroundRole: {
                // The photo's own columns green, the print choices blue.
                const Field field = columnField(section);
                return field == Field::File || field == Field::Count ? QColor(57, 150, 57)
                                                                     : QColor(99, 130, 206);
            }
            case Qt::ForegroundRole:
                return QColor(Qt::white);
            default:
                break;
        }
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags OrderListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && columnField(index.column()) != Field::File) {
        f |= Qt::ItemIsEditable;
    }
    return f;
}

bool OrderListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return false;
    }
    const Field field = columnField(index.column());
    if (field == Field::Count && value.typeId() == QMetaType::QString &&
        !parseInteger(value.toString())) {
        Q_EMIT refused(QStringLiteral("'%1' is not a valid integer value for field '%2'")
                           .arg(value.toString(), fieldName(field)));
        return false;
    }
    table_.gotoBookmark(index.row());
    table_.edit();
    const bool accepted = table_.setField(field, value);
    table_.post();
    return accepted;
}

void OrderListModel::setWarningsShown(bool shown) {
    if (shown != warningsShown_) {
        warningsShown_ = shown;
        if (rowCount() > 0) {
            Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1),
                               {Qt::BackgroundRole, WarningRole});
        }
    }
}

}  // namespace order
