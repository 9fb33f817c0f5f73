#pragma once

#include <array>

#include "order/orderrow.h"

// The order list's columns, left to right, the one place that says which field each
// column shows: the model, the cell editors and the main window's titles, hints and
// sorting all map a column to its field here, so a reorder cannot misroute an edit.
namespace order {

struct ListColumn {
    Field field;
    const char* title;  // UTF-8
    int width;          // pixels, as the list starts
};

inline constexpr std::array<ListColumn, 5> kListColumns = {{
    {Field::File, "Файл", 88},
    {Field::Count, "Количество", 94},
    {Field::Format, "Формат", 94},
    {Field::Param, "Как печатать", 92},
    {Field::Paper, "Тип бумаги", 85},
}};

inline constexpr int kListColumnCount = static_cast<int>(kListColumns.size());

// The field a column shows; column must be one of the list's.
constexpr Field columnField(int column) {
    return kListColumns.at(static_cast<std::size_t>(column)).field;
}

}  // namespace order
