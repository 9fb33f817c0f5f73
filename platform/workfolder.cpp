#include "platform/workfolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace platform {

namespace {

[[noreturn]] void refuse(const QString& folder, const QString& reason) {
    throw WorkFolderError(
        QStringLiteral("Рабочую папку %1 не удалось подготовить: %2.").arg(folder, reason));
}

QString reasonOf(const std::error_code& error) {
    return QString::fromLocal8Bit(error.message().c_str());
}

}  // namespace

QString GetTempFolder() {
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty()) {
        refuse(QStringLiteral("~/.cache/Korvella"), QStringLiteral("не известна папка кэша"));
    }
    const QString folder = QDir(cache).filePath(QStringLiteral("Korvella"));
    const std::filesystem::path path(QFile::encodeName(folder).toStdString());
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error) {
        refuse(folder, reasonOf(error));
    }
    std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace, error);
    if (error) {
        refuse(folder, reasonOf(error));
    }
    // The mode as the file system keeps it: some accept a change and keep their own.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        refuse(folder, QString::fromLocal8Bit(std::strerror(errno)));
    }
    if (!S_ISDIR(info.st_mode)) {
        refuse(folder, QStringLiteral("это не папка"));
    }
    if ((info.st_mode & 077) != 0 || info.st_uid != ::geteuid()) {
        refuse(folder, QStringLiteral("её нельзя сделать личной"));
    }
    if (::access(path.c_str(), R_OK | W_OK | X_OK) != 0) {
        refuse(folder, QString::fromLocal8Bit(std::strerror(errno)));
    }
    return folder + QLatin1Char('/');
}

}  // namespace platform
