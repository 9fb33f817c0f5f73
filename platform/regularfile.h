#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace platform {

// A file opened for reading that is taken only when it is a regular file. The open
// never blocks: a FIFO named like the file would otherwise wait for a writer for ever,
// and a device (a link to /dev/zero) would never end. Any thread; one object per
// thread.
class RegularFile {
public:
    explicit RegularFile(const QString& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // Whether the open succeeded (whatever the file is); otherwise error() holds errno.
    bool isOpen() const { return fd_ >= 0; }
    int error() const { return error_; }
    // The system's text for error().
    QString errorText() const;
    // Whether what was opened is a regular file, and its size then.
    bool isRegular() const { return regular_; }
    qint64 size() const { return size_; }

    // The whole regular file, read from its start, when it holds at most maxBytes (a
    // file that grows past them while read is refused too); nothing otherwise, or when
    // a read fails (error() then holds errno).
    std::optional<QByteArray> readAll(qint64 maxBytes);
    // Reads up to count bytes at offset into buffer, without moving anything: the bytes
    // read, fewer at the file's end or on an error.
    qint64 readAt(qint64 offset, char* buffer, qint64 count) const;
    // Where data next begins at or after offset, so that a hole (a sparse file's
    // nothing) need not be read: offset itself where the file system cannot tell, the
    // largest qint64 when only a hole follows.
    qint64 nextData(qint64 offset) const;

private:
    int fd_ = -1;
    int error_ = 0;
    bool regular_ = false;
    qint64 size_ = 0;
};

}  // namespace platform
