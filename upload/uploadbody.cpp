#include "upload/uploadbody.h"

#include "order/choices.h"
#include "platform/windows1251.h"

namespace upload {

namespace {

const QString kDelimiter = QStringLiteral("--") + QLatin1String(kBoundary);
const QString kClose = kDelimiter + QStringLiteral("--");
const QString kLine = QStringLiteral("\r\n");

QString partHead(const char* name) {
    return kDelimiter + kLine + QStringLiteral("Content-Disposition: form-data; name=\"") +
           QLatin1String(name) + u'"' + kLine + kLine;
}

}  // namespace

QString paperValue(const QString& paper) {
    return paper == order::paperChoices().constFirst() ? QStringLiteral("matov")
                                                       : QStringLiteral("glyanc");
}

QString paramValue(const QString& param) {
    if (param == order::paramPrepared()) {
        return QStringLiteral("AsIs");
    }
    if (param == order::paramBorderless()) {
        return QStringLiteral("WithoutBorder");
    }
    return QStringLiteral("WithBorder");
}

QString escapedFilename(const QString& file) {
    QString escaped = file;
    escaped.replace(u'"', QStringLiteral("%22"))
        .replace(u'\r', QStringLiteral("%0D"))
        .replace(u'\n', QStringLiteral("%0A"));
    // The boundary's own text in a name would end the part there: its first letter is
    // escaped too. Every other name keeps its bytes.
    const QString boundary = QString::fromLatin1(kBoundary).mid(2);
    return escaped.replace(boundary, QStringLiteral("%") +
                                         QString::number(boundary.at(0).unicode(), 16).toUpper() +
                                         boundary.mid(1));
}

QByteArray uploadHead(const QString& file) {
    return platform::toWindows1251(
        kDelimiter + kLine + QStringLiteral("Content-Disposition: form-data; name=\"file\"; ") +
        QStringLiteral("filename=\"") + escapedFilename(file) + u'"' + kLine +
        QStringLiteral("Content-Type: image/jpeg") + kLine + kLine);
}

QByteArray uploadTail(const UploadFields& f) {
    QString tail = kClose + kLine + kLine + partHead("Count") + f.count;
    const std::pair<const char*, const QString*> parts[] = {
        {"Format", &f.format}, {"Paper", &f.paper},           {"key", &f.key},
        {"dpi", &f.dpi},       {"FileNumber", &f.fileNumber}, {"Param", &f.param}};
    for (const auto& [name, value] : parts) {
        tail += kLine + kClose + kLine + partHead(name) + *value;
    }
    tail += kLine + kClose;
    return platform::toWindows1251(tail);
}

}  // namespace upload
