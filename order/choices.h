#pragma once

#include <QString>
#include <QStringList>

namespace order {

// The fixed choices of an order row; a new row takes the first of each.
inline QStringList paramChoices() {
    return {QStringLiteral("С полями"), QStringLiteral("Без полей"),
            QStringLiteral("Подготовленный")};
}
inline QStringList paperChoices() {
    return {QStringLiteral("Матовая"), QStringLiteral("Глянцевая")};
}

}  // namespace order
