#pragma once

#include <QString>
#include <QStringView>

namespace order {

// How file paths (the order's key) and other texts of the order compare: the Latin
// letters a-z equal A-Z, every other character (Cyrillic included) compares by its
// UTF-16 code unit, and a text that is the start of a longer one comes first.
// So a.JPG equals a.jpg, but Фото differs from фото.
int compareKeys(QStringView a, QStringView b);
// The key with Latin a-z turned to A-Z: two keys are equal when their folded forms are.
QString foldedKey(QStringView key);
inline bool keysEqual(QStringView a, QStringView b) {
    return a.size() == b.size() && compareKeys(a, b) == 0;
}

}  // namespace order
