#include "tools/csvcommand.h"

#include <QFileInfo>

#include "order/ordertable.h"

namespace tool {

QString escapeValue(const QString& value) {
    QString escaped;
    escaped.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
            case u'\\':
                escaped += QStringLiteral("\\\\");
                break;
            case u'\r':
                escaped += QStringLiteral("\\r");
                break;
            case u'\n':
                escaped += QStringLiteral("\\n");
                break;
            case u'\t':
                escaped += QStringLiteral("\\t");
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

int runCsvCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    QString file;
    QString saveTo;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--save") && i + 1 < args.size()) {
            saveTo = args[++i];
        } else if (file.isEmpty() && !args[i].startsWith(QLatin1String("--"))) {
            file = args[i];
        } else {
            err << "usage: korvella-tool csv FILE [--save OUT]\n";
            return 2;
        }
    }
    if (file.isEmpty()) {
        err << "usage: korvella-tool csv FILE [--save OUT]\n";
        return 2;
    }
    if (!QFileInfo::exists(file)) {
        err << "No such file: " << file << "\n";
        return 1;
    }

    order::OrderTable table;
    table.setFileName(file);
    if (!table.open()) {
        out << table.errorString() << "\n";
        return 1;
    }
    out << escapeValue(table.header()) << "\n";
    for (int i = 0; i < table.rowCount(); ++i) {
        QStringList fields;
        for (const order::Field field : order::kAllFields) {
            fields << escapeValue(table.row(i).text(field));
        }
        out << fields.join(QLatin1Char('\t')) << "\n";
    }
    if (!saveTo.isEmpty() && !table.saveTo(saveTo)) {
        out << table.errorString() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace tool
