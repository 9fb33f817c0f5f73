#pragma once

#include <QString>
#include <QStringList>

namespace service {

// Splits text into lines as the service's replies are read: a line ends at CR LF, a
// lone CR or a lone LF; a NUL character ends the text; a final line break opens no
// further line; empty lines between two breaks are kept.
QStringList splitLines(QStringView text);

// Splits Source at every Separator into List (each piece then also split at line
// breaks, as splitLines does) and returns the number of entries. A Source shorter
// than 3 characters or an empty Separator gives 0 and leaves List as it was.
int SplitText(const QString& Separator, const QString& Source, QStringList& List);

}  // namespace service
