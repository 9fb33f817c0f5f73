#include "platform/windows1251.h"

#include <iconv.h>

#include <array>
#include <unordered_map>

#include "platform/error.h"

namespace platform {

namespace {

struct CodePage {
    std::array<char16_t, 256> toUnicode{};
    std::unordered_map<char16_t, char> fromUnicode;

    CodePage() {
        iconv_t cd = iconv_open("UTF-16LE", "WINDOWS-1251");
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            throw Error(QStringLiteral("iconv cannot convert from WINDOWS-1251"));
        }
        for (int byte = 0; byte < 256; ++byte) {
            char in = static_cast<char>(byte);
            unsigned char out[4] = {};
            char* inPtr = &in;
            char* outPtr = reinterpret_cast<char*>(out);
            size_t inLeft = 1;
            size_t outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const bool ok =
                iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) &&
                outLeft == 2;
            const char16_t unit = ok ? static_cast<char16_t>(out[0] | (out[1] << 8)) : u'\uFFFD';
            toUnicode[byte] = unit;
            if (ok) {
                fromUnicode.emplace(unit, static_cast<char>(byte));
            }
        }
        iconv_close(cd);
    }
};

const CodePage& codePage() {
    static const CodePage page;
    return page;
}

}  // namespace

QString fromWindows1251(const QByteArray& bytes) {
    const auto& table = codePage().toUnicode;
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) {
        *out++ = QChar(table[static_cast<unsigned char>(byte)]);
    }
    return text;
}

QByteArray toWindows1251(const QString& text) {
    const auto& table = codePage().fromUnicode;
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar ch : text) {
        const auto it = table.find(ch.unicode());
        bytes.append(it == table.end() ? '?' : it->second);
    }
    return bytes;
}

}  // namespace platform
