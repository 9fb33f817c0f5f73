#include "platform/testing/userfolders.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace testing_support {

UserFolders::UserFolders()
    : oldConfig_(qgetenv("XDG_CONFIG_HOME")), oldCache_(qgetenv("XDG_CACHE_HOME")) {
    QDir().mkpath(configHome());
    QDir().mkpath(cacheHome());
    qputenv("XDG_CONFIG_HOME", configHome().toLocal8Bit());
    qputenv("XDG_CACHE_HOME", cacheHome().toLocal8Bit());
}

UserFolders::~UserFolders() {
    qputenv("XDG_CONFIG_HOME", oldConfig_);
    qputenv("XDG_CACHE_HOME", oldCache_);
}

QString UserFolders::configHome() const {
    return dir_.filePath(QStringLiteral("config"));
}
QString UserFolders::cacheHome() const {
    return dir_.filePath(QStringLiteral("cache"));
}
QString UserFolders::workFolder() const {
    return cacheHome() + QStringLiteral("/Korvella/");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace testing_support
