#include "order/orderrow.h"

#include "order/choices.h"
#include "order/keyrule.h"

#include <limits>

namespace order {

namespace {

constexpr std::array<const char*, kFieldCount> kNames = {"File",  "Count", "Format", "Param",
                                                         "Paper", "Size",  "Width",  "Height"};

}  // namespace

QString fieldName(Field field) {
    return QString::fromLatin1(kNames[static_cast<int>(field)]);
}

std::optional<Field> fieldByName(QStringView name) {
    for (const Field field : kAllFields) {
        if (keysEqual(name, fieldName(field))) {
            return field;
        }
    }
    return std::nullopt;
}

bool isIntegerField(Field field) {
    switch (field) {
        case Field::Count:
        case Field::Size:
        case Field::Width:
        case Field::Height:
            return true;
        default:
            return false;
    }
}

int fieldWidth(Field field) {
    switch (field) {
        case Field::Paper:
            return 10;
        case Field::Param:
            return static_cast<int>(paramPrepared().size());  // the longest choice
        default:
            return 0;
    }
}

std::optional<qint32> parseInteger(QStringView text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > qint64(std::numeric_limits<qint32>::max()) + 1) {
            return std::nullopt;
        }
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<qint32>::max()) {
        return std::nullopt;
    }
    return static_cast<qint32>(value);
}

namespace {

std::optional<qint32> OrderRow::*integerMember(Field field) {
    switch (field) {
        case Field::Count:
            return &OrderRow::count;
        case Field::Size:
            return &OrderRow::size;
        case Field::Width:
            return &OrderRow::width;
        case Field::Height:
            return &OrderRow::height;
        default:
            return nullptr;
    }
}

QString OrderRow::*textMember(Field field) {
    switch (field) {
        case Field::File:
            return &OrderRow::file;
        case Field::Format:
            return &OrderRow::format;
        case Field::Param:
            return &OrderRow::param;
        case Field::Paper:
            return &OrderRow::paper;
        default:
            return nullptr;
    }
}

std::optional<qint32> toInteger(const QVariant& value) {
    if (value.isNull()) {
        return std::nullopt;
    }
    if (value.typeId() == QMetaType::QString) {
        return parseInteger(value.toString());
    }
    bool ok = false;
    const qlonglong n = value.toLongLong(&ok);
    if (!ok || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max()) {
        return std::nullopt;
    }
    return static_cast<qint32>(n);
}

}  // namespace

QVariant OrderRow::value(Field field) const {
    if (const auto member = integerMember(field)) {
        const auto& v = this->*member;
        return v ? QVariant(*v) : QVariant();
    }
    return this->*textMember(field);
}

void OrderRow::setValue(Field field, const QVariant& value) {
    if (const auto member = integerMember(field)) {
        this->*member = toInteger(value);
        return;
    }
    QString text = value.toString();
    if (const int width = fieldWidth(field); width > 0 && text.size() > width) {
        text.truncate(width);
    }
    this->*textMember(field) = text;
}

QString OrderRow::text(Field field) const {
    if (const auto member = integerMember(field)) {
        const auto& v = this->*member;
        return v ? QString::number(*v) : QString();
    }
    return this->*textMember(field);
}

}  // namespace order
