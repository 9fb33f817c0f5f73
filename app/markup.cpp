#include "app/markup.h"

#include <QRegularExpression>

QString markupToHtml(const QString& markup) {
    QString text = markup;
    text.remove(u'\r').remove(u'\n');
    static const QRegularExpression tag(QStringLiteral("<(/?)(b|i|br|color)(=[A-Za-z]+)?>"));
    QString html;
    qsizetype at = 0;
    auto it = tag.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        html += text.mid(at, m.capturedStart() - at).toHtmlEscaped();
        const bool closing = !m.captured(1).isEmpty();
        const QString name = m.captured(2);
        if (name == QLatin1String("color")) {
            html += closing ? QStringLiteral("</span>")
                            : (m.captured(3) == QLatin1String("=clRed")
                                   ? QStringLiteral("<span style=\"color:#ff0000\">")
                                   : QStringLiteral("<span>"));
        } else if (name == QLatin1String("br")) {
            html += QStringLiteral("<br>");
        } else {
            html += QLatin1Char('<') + m.captured(1) + name + QLatin1Char('>');
        }
        at = m.capturedEnd();
    }
    html += text.mid(at).toHtmlEscaped();
    return html;
}
