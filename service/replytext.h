#pragma once

#include <QByteArray>
#include <QString>

namespace service {

// Decodes a reply of the service: a leading byte-order mark selects UTF-8 (EF BB BF),
// UTF-16 little-endian (FF FE) or big-endian (FE FF) and is dropped; without one the
// bytes are Windows-1251.
QString decodeReply(const QByteArray& body);

// A reply as text for the callers of HttpGet: decoded, then every line followed by
// CR LF, the last one included (a NUL ends the text). An empty body gives "".
QString replyText(const QByteArray& body);

}  // namespace service
