#pragma once

#include <QString>
#include <QStringList>

// The fixed choices of an order row, the one place that spells them: the order list's
// pick lists, the resolution rule and print preparation all read them here. A new row
// takes the first of each.
namespace order {

// How to print (the row's Param).
inline QString paramWithBorders() {
    return QStringLiteral("С полями");
}
inline QString paramBorderless() {
    return QStringLiteral("Без полей");
}
// The photo is prepared for print already: never flagged as too coarse.
inline QString paramPrepared() {
    return QStringLiteral("Подготовленный");
}
inline QStringList paramChoices() {
    return {paramWithBorders(), paramBorderless(), paramPrepared()};
}

// The paper (the row's Paper).
inline QStringList paperChoices() {
    return {QStringLiteral("Матовая"), QStringLiteral("Глянцевая")};
}

}  // namespace order
