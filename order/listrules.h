#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

#include "order/orderrow.h"

namespace order {

class OrderTable;

// Whether a value set on an existing row is taken: Format must be one of the format
// choices (letter case ignored, Cyrillic too; stored as typed), Param and Paper one of
// theirs, Count a whole number from 1 to 2147483647; File never changes.
bool acceptsValue(Field field, const QVariant& value, const QStringList& formatChoices);

// The sort a click on a column title asks for: the same column again turns the
// direction round, another column starts descending.
struct SortState {
    Field field = Field::File;
    bool ascending = true;
    void titleClicked(Field clicked) {
        ascending = clicked == field ? !ascending : false;
        field = clicked;
    }
};

// Sets a field of every selected row (positions in list order), each through the
// table's validation; the cursor ends on the last of them. Nothing without a selection.
void applyToSelected(OrderTable& table, const std::vector<int>& selection, Field field,
                     const QVariant& value);

// Removes the selected rows (highest position first) or, without a selection, the
// current row; the cursor then goes to the row at the lowest removed position, or to
// the last row when that lies past the end.
void deleteSelected(OrderTable& table, const std::vector<int>& selection);

// The file's name as the list shows it: the path after its last separator ("\", ":"
// or "/").
QString displayedFileName(const QString& path);

}  // namespace order
