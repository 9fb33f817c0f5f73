#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The Russian ANSI code page, the one the lab's service and old order files speak.
// Conversion tables come from iconv once per process; thread-safe.

// Bytes without a character in the code page (0x98) decode to U+FFFD.
QString fromWindows1251(const QByteArray& bytes);
// Characters the code page lacks become "?".
QByteArray toWindows1251(const QString& text);

}  // namespace platform
