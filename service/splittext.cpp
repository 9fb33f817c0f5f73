#include "service/splittext.h"

namespace service {

QStringList splitLines(QStringView text) {
    if (const qsizetype nul = text.indexOf(QChar(u'\0')); nul >= 0) {
        text = text.first(nul);
    }
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            lines << text.sliced(start, i - start).toString();
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < text.size()) {
        lines << text.sliced(start).toString();
    }
    return lines;
}

int SplitText(const QString& Separator, const QString& Source, QStringList& List) {
    if (Source.size() < 3 || Separator.isEmpty()) {
        return 0;
    }
    // Every separator made a line break in one pass (QString::replace moves the tail
    // again for each block of matches, which a long list makes quadratic).
    QString broken;
    broken.reserve(Source.size() + Source.size() / 2);
    qsizetype from = 0;
    for (qsizetype at = 0; (at = Source.indexOf(Separator, from)) >= 0;
         from = at + Separator.size()) {
        broken.append(QStringView(Source).sliced(from, at - from));
        broken.append(QLatin1String("\r\n"));
    }
    broken.append(QStringView(Source).sliced(from));
    List = splitLines(broken);
    return static_cast<int>(List.size());
}

}  // namespace service
