#include "order/orderfile.h"

#include <algorithm>
#include <utility>

#include "platform/windows1251.h"

namespace order {

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

QStringView trimmed(QStringView s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlank(s[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(s[end - 1])) {
        --end;
    }
    return s.sliced(begin, end - begin);
}

// Splits the text into lines at LF, CR or CR LF outside double quotes; the quoting
// state flips at every double quote, so a quoted line break stays inside its line.
std::vector<QStringView> splitLines(QStringView text) {
    std::vector<QStringView> lines;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && (c == u'\n' || c == u'\r')) {
            lines.push_back(text.sliced(start, i - start));
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < text.size()) {
        lines.push_back(text.sliced(start));
    }
    for (QStringView& line : lines) {
        while (!line.isEmpty() && (line.back() == u'\r' || line.back() == u'\n')) {
            line.chop(1);
        }
    }
    return lines;
}

// Splits a line at ";" outside double quotes. Quotes stay in the pieces; a doubled
// quote inside a quoted part flips the state twice and so keeps it.
std::vector<QStringView> splitFields(QStringView line) {
    std::vector<QStringView> fields;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'"') {
            quoted = !quoted;
        } else if (!quoted && line[i] == u';') {
            fields.push_back(line.sliced(start, i - start));
            start = i + 1;
        }
    }
    fields.push_back(line.sliced(start));
    return fields;
}

// Checked before a line is split into fields, so a hostile line costs one pass.
bool checkLine(QStringView line, QString* error) {
    if (line.size() > kMaxLineLength) {
        *error = QStringLiteral("CSV string is too long: %1...").arg(line.first(40));
        return false;
    }
    qsizetype separators = 0;
    bool quoted = false;
    for (const QChar c : line) {
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && c == u';') {
            ++separators;
        }
    }
    if (separators + 1 > kMaxFieldsPerLine) {
        *error = QStringLiteral("CSV line has more than %1 fields: %2...")
                     .arg(kMaxFieldsPerLine)
                     .arg(line.first(std::min<qsizetype>(40, line.size())));
        return false;
    }
    return true;
}

QString textFieldValue(QStringView raw) {
    const QStringView value = trimmed(raw);
    if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') {
        return value.sliced(1, value.size() - 2)
            .toString()
            .replace(QStringLiteral("\"\""), QStringLiteral("\""));
    }
    return value.toString();
}

bool parseHeader(QStringView line, OrderFileLayout* layout, size_t* namedColumns, QString* error) {
    layout->header = line.toString();
    layout->columns.clear();
    for (const QStringView piece : splitFields(line)) {
        QStringView name = trimmed(piece);
        if (const qsizetype colon = name.indexOf(u':'); colon >= 0) {
            name = name.first(colon);
        }
        if (name.isEmpty()) {
            *error = QStringLiteral("Error processing first line of CSV file");
            return false;
        }
        const std::optional<Field> field = fieldByName(name);
        if (!field) {
            *error = QStringLiteral(
                         "ProcessCsvHeaderRow: Field %1 found in file, but not in field "
                         "definitions")
                         .arg(name);
            return false;
        }
        layout->columns.push_back(*field);
    }
    // Rows of this file have values only in the columns its header named.
    *namedColumns = layout->columns.size();
    for (const Field field : kAllFields) {
        if (std::find(layout->columns.begin(), layout->columns.end(), field) ==
            layout->columns.end()) {
            layout->header += QLatin1Char(';') + fieldName(field);
            layout->columns.push_back(field);
        }
    }
    return true;
}

OrderRow parseRow(QStringView line, const std::vector<Field>& columns, size_t namedColumns) {
    OrderRow row;
    std::array<bool, kFieldCount> seen{};
    const std::vector<QStringView> pieces = splitFields(line);
    const size_t used = std::min(pieces.size(), namedColumns);
    for (size_t i = 0; i < used; ++i) {
        const Field field = columns[i];
        // A name the header repeats: its first column counts.
        if (std::exchange(seen[static_cast<int>(field)], true)) {
            continue;
        }
        if (isIntegerField(field)) {
            const std::optional<qint32> number = parseInteger(trimmed(pieces[i]));
            row.setValue(field, number ? QVariant(*number) : QVariant());
        } else {
            row.setValue(field, textFieldValue(pieces[i]));
        }
    }
    return row;
}

// Quotes also keep spaces and tabs at either end, which the reader trims from an
// unquoted value: a path such as "/photos/a.jpg " survives a save and reload.
bool needsQuotes(const QString& value) {
    if (!value.isEmpty() && (isBlank(value.front()) || isBlank(value.back()))) {
        return true;
    }
    for (const QChar c : value) {
        if (c == u';' || c == u'\r' || c == u'\n' || c == u'"') {
            return true;
        }
    }
    return false;
}

}  // namespace

OrderFileLayout OrderFileLayout::standard() {
    OrderFileLayout layout;
    for (const Field field : kAllFields) {
        if (!layout.header.isEmpty()) {
            layout.header += QLatin1Char(';');
        }
        layout.header += fieldName(field);
        layout.columns.push_back(field);
    }
    return layout;
}

std::optional<OrderFileContents> parseOrderFile(const QByteArray& bytes, QString* error) {
    const QString text = bytes.startsWith(kUtf8Bom)
                             ? QString::fromUtf8(bytes.sliced(kUtf8Bom.size()))
                             : platform::fromWindows1251(bytes);
    OrderFileContents contents{OrderFileLayout::standard(), {}};
    const std::vector<QStringView> lines = splitLines(text);
    if (lines.empty()) {
        return contents;
    }
    for (const QStringView line : lines) {
        if (!checkLine(line, error)) {
            return std::nullopt;
        }
    }
    size_t namedColumns = 0;
    if (!parseHeader(lines.front(), &contents.layout, &namedColumns, error)) {
        return std::nullopt;
    }
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty()) {
            continue;
        }
        contents.rows.push_back(
            {parseRow(lines[i], contents.layout.columns, namedColumns), lines[i].toString()});
    }
    return contents;
}

QString formatRowLine(const OrderRow& row, const std::vector<Field>& columns) {
    QString line;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) {
            line += QLatin1Char(';');
        }
        const QString value = row.text(columns[i]);
        if (!isIntegerField(columns[i]) && needsQuotes(value)) {
            line += QLatin1Char('"') + QString(value).replace(u'"', QStringLiteral("\"\"")) +
                    QLatin1Char('"');
        } else {
            line += value;
        }
    }
    return line;
}

QByteArray serializeOrderFile(const OrderFileLayout& layout, const std::vector<StoredRow>& rows) {
    QString text = layout.header + QStringLiteral("\r\n");
    for (const StoredRow& stored : rows) {
        text += stored.lineAsRead ? *stored.lineAsRead : formatRowLine(stored.row, layout.columns);
        text += QStringLiteral("\r\n");
    }
    return kUtf8Bom + text.toUtf8();
}

}  // namespace order
