#include "service/replytext.h"

#include <QStringDecoder>

#include "platform/windows1251.h"
#include "service/splittext.h"

namespace service {

QString decodeReply(const QByteArray& body) {
    if (body.startsWith("\xEF\xBB\xBF")) {
        return QString::fromUtf8(body.sliced(3));
    }
    if (body.startsWith("\xFF\xFE")) {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        return decoder(body.sliced(2));
    }
    if (body.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringDecoder::Utf16BE);
        return decoder(body.sliced(2));
    }
    return platform::fromWindows1251(body);
}

QString replyText(const QByteArray& body) {
    QString text;
    for (const QString& line : splitLines(decodeReply(body))) {
        text += line + QStringLiteral("\r\n");
    }
    return text;
}

}  // namespace service
