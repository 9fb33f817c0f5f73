#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "order/orderrow.h"

namespace order {

// The layout of Data.csv: its header line as the next save writes it, and which
// field each column holds.
struct OrderFileLayout {
    QString header;
    std::vector<Field> columns;

    // The layout of a table that did not read a file: all eight fields in order.
    static OrderFileLayout standard();
};

// A row as the table keeps it. A row read from the file and not changed since keeps
// the line it was read from and is written back as that line, extra fields included.
struct StoredRow {
    OrderRow row;
    std::optional<QString> lineAsRead;
};

struct OrderFileContents {
    OrderFileLayout layout;
    std::vector<StoredRow> rows;
};

// Limits of one line of Data.csv (a quoted line break keeps the line going).
inline constexpr int kMaxLineLength = 16382;
inline constexpr int kMaxFieldsPerLine = 120;

// Reads Data.csv's bytes: UTF-8 after a byte-order mark, Windows-1251 otherwise.
// Empty bytes give the standard layout and no rows. On failure returns nothing and
// sets *error to the message the user sees.
std::optional<OrderFileContents> parseOrderFile(const QByteArray& bytes, QString* error);

// Writes Data.csv's bytes: a UTF-8 byte-order mark, the header, then each row in the
// given order, every line ending in CR LF.
QByteArray serializeOrderFile(const OrderFileLayout& layout, const std::vector<StoredRow>& rows);

// One row as a line of the file in the layout's column order (no line end).
QString formatRowLine(const OrderRow& row, const std::vector<Field>& columns);

}  // namespace order
