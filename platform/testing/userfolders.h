#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace testing_support {

// Points XDG_CONFIG_HOME and XDG_CACHE_HOME at fresh temporary folders for the
// lifetime of the object, so a test never touches the user's own settings or order.
class UserFolders {
public:
    UserFolders();
    ~UserFolders();
    UserFolders(const UserFolders&) = delete;
    UserFolders& operator=(const UserFolders&) = delete;

    QString root() const { return dir_.path(); }
    QString configHome() const;
    QString cacheHome() const;
    // The program's working folder inside cacheHome(), with a trailing separator.
    QString workFolder() const;

private:
    QTemporaryDir dir_;
    QByteArray oldConfig_;
    QByteArray oldCache_;
};

// Writes bytes to a file, creating or truncating it; fails the test on error.
void writeFile(const QString& path, const QByteArray& bytes);
// Reads a whole file; an empty array when it cannot be read.
QByteArray readFile(const QString& path);

}  // namespace testing_support
