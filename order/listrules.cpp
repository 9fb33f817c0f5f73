#include "order/listrules.h"

#include <algorithm>

#include "order/choices.h"
#include "order/ordertable.h"

namespace order {

bool acceptsValue(Field field, const QVariant& value, const QStringList& formatChoices) {
    switch (field) {
        case Field::Format:
            return formatChoices.contains(value.toString(), Qt::CaseInsensitive);
        case Field::Param:
            return paramChoices().contains(value.toString());
        case Field::Paper:
            return paperChoices().contains(value.toString());
        case Field::Count: {
            if (value.typeId() == QMetaType::QString) {
                const std::optional<qint32> n = parseInteger(value.toString());
                return n && *n >= 1;
            }
            bool ok = false;
            const qlonglong n = value.toLongLong(&ok);
            return ok && n >= 1 && n <= 2147483647;
        }
        case Field::File:
            return false;
        default:
            return true;
    }
}

void applyToSelected(OrderTable& table, const std::vector<int>& selection, Field field,
                     const QVariant& value) {
    for (const int row : selection) {
        table.gotoBookmark(row);
        table.edit();
        table.setField(field, value);
        table.post();
    }
}

void deleteSelected(OrderTable& table, const std::vector<int>& selection) {
    if (table.rowCount() == 0) {
        return;
    }
    std::vector<int> rows = selection;
    if (rows.empty()) {
        rows.push_back(table.position());
    }
    std::sort(rows.begin(), rows.end(), std::greater<>());
    for (const int row : rows) {
        table.deleteRows(row, row);
    }
    if (table.rowCount() > 0) {
        table.gotoBookmark(std::min(rows.back(), table.rowCount() - 1));
    }
}

QString displayedFileName(const QString& path) {
    const qsizetype cut =
        std::max({path.lastIndexOf(u'\\'), path.lastIndexOf(u':'), path.lastIndexOf(u'/')});
    return path.mid(cut + 1);
}

}  // namespace order
