#include "order/addfile.h"

#include <QFileInfo>

#include "order/choices.h"
#include "order/keyrule.h"
#include "order/ordertable.h"
#include "order/readjpeginfo.h"

namespace order {

AddOutcome addFile(OrderTable& table, const QString& path, const QString& format, Field sortField,
                   bool ascending) {
    if (!table.isOpen()) {
        throw OrderClosedError(
            QStringLiteral("Файл %1 не добавлен: список заказа закрыт, потому что файл заказа "
                           "%2 не удалось прочитать.")
                .arg(path, table.fileName()));
    }
    if (table.locate(path)) {
        return AddOutcome::AlreadyListed;
    }
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) {
        return AddOutcome::Refused;
    }
    quint16 width = 0;
    quint16 height = 0;
    qint32 size = 0;
    if (!ReadJpegInfo(path, width, height, size)) {
        return AddOutcome::Refused;
    }
    OrderRow row;
    row.file = path;
    row.count = 1;
    row.setValue(Field::Format, format);
    row.param = paramChoices().constFirst();
    row.paper = paperChoices().constFirst();
    row.size = size;
    row.width = width;
    row.height = height;
    table.appendSorted(row, sortField, ascending);
    return AddOutcome::Added;
}

bool hasJpegExtension(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0) {
        return false;
    }
    const QString extension = foldedKey(QStringView(name).sliced(dot));
    return extension == QLatin1String(".JPG") || extension == QLatin1String(".JPEG");
}

}  // namespace order
