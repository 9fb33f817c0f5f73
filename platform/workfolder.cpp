#include "platform/workfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

QString GetTempFolder() {
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty()) {
        return {};
    }
    const QString folder = QDir(cache).filePath(QStringLiteral("Korvella"));
    if (!QDir().mkpath(folder)) {
        return {};
    }
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isWritable()) {
        return {};
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return folder + QLatin1Char('/');
}

}  // namespace platform
