#pragma once

#include <QString>
#include <QVariant>
#include <array>
#include <optional>

namespace order {

// The fields of an order row, in the column order of a newly written Data.csv.
enum class Field { File, Count, Format, Param, Paper, Size, Width, Height };
inline constexpr int kFieldCount = 8;
inline constexpr std::array<Field, kFieldCount> kAllFields = {
    Field::File,  Field::Count, Field::Format, Field::Param,
    Field::Paper, Field::Size,  Field::Width,  Field::Height};

QString fieldName(Field field);
// Field names are matched without regard to the case of Latin letters.
std::optional<Field> fieldByName(QStringView name);
bool isIntegerField(Field field);
// Longest text a text field holds; longer texts are cut when stored and when read.
// 0 means no limit: the file path and the format name are always held whole (a lab's
// format name may be longer than the original ten characters).
int fieldWidth(Field field);

// A signed 32-bit decimal integer with an optional sign; anything else (also an
// empty text or a number out of range) gives nothing.
std::optional<qint32> parseInteger(QStringView text);

// One photo of the order. Integer fields may be empty (a damaged or hand-edited file).
struct OrderRow {
    QString file;
    std::optional<qint32> count;
    QString format;
    QString param;
    QString paper;
    std::optional<qint32> size;
    std::optional<qint32> width;
    std::optional<qint32> height;

    // A text field's value as QString, an integer field's as int, an empty integer as a
    // null QVariant.
    QVariant value(Field field) const;
    // Stores a value as the field holds it: texts cut to their width, integers taken
    // from int-like variants or decimal text; anything else empties an integer field.
    void setValue(Field field, const QVariant& value);
    // The value as written in Data.csv and shown in tools: text as is, integers in
    // decimal, empty as nothing.
    QString text(Field field) const;

    bool operator==(const OrderRow&) const = default;
};

}  // namespace order
