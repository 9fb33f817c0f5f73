// libFuzzer target: reading Data.csv from arbitrary bytes, and writing back and
// reading again what was read. Traps when a table that was read cannot be read back
// after a save.
#include <QByteArray>
#include <QString>
#include <cstdint>

#include "order/orderfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString error;
    const auto contents = order::parseOrderFile(bytes, &error);
    if (!contents) {
        return 0;
    }
    // Rows as the program writes them after an edit: each from its values.
    std::vector<order::StoredRow> rows;
    for (const order::StoredRow& stored : contents->rows) {
        rows.push_back({stored.row, std::nullopt});
    }
    const auto again =
        order::parseOrderFile(order::serializeOrderFile(contents->layout, rows), &error);
    if (!again || again->rows.size() != rows.size()) {
        __builtin_trap();
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!(again->rows[i].row == rows[i].row)) {
            __builtin_trap();
        }
    }
    return 0;
}
