#pragma once

#include <QFileInfo>
#include <QStringList>

#include "order/choices.h"
#include "order/ordertable.h"

// Rows and views of an order table for tests of the order and of the windows over it.
namespace order::testing {

// A row as adding a photo makes it: one copy (or count), the format, the first Param
// and Paper choices, and the photo's pixel size.
inline OrderRow sampleRow(const QString& file, const QString& format = QStringLiteral("10x15"),
                          int width = 3000, int height = 2000, int count = 1) {
    OrderRow row;
    row.file = file;
    row.count = count;
    row.format = format;
    row.param = paramChoices().constFirst();
    row.paper = paperChoices().constFirst();
    row.width = width;
    row.height = height;
    return row;
}

// The rows' File values in table order; with names set, only the file names.
inline QStringList filesOf(const OrderTable& table, bool names = false) {
    QStringList files;
    for (int i = 0; i < table.rowCount(); ++i) {
        files << (names ? QFileInfo(table.row(i).file).fileName() : table.row(i).file);
    }
    return files;
}

}  // namespace order::testing
