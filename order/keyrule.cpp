#include "order/keyrule.h"

#include <algorithm>

namespace order {

namespace {

char16_t foldLatin(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
}

}  // namespace

QString foldedKey(QStringView key) {
    QString folded = key.toString();
    for (QChar& c : folded) {
        c = QChar(foldLatin(c.unicode()));
    }
    return folded;
}

int compareKeys(QStringView a, QStringView b) {
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t x = foldLatin(a[i].unicode());
        const char16_t y = foldLatin(b[i].unicode());
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace order
