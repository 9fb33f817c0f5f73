#include "platform/regularfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace platform {

RegularFile::RegularFile(const QString& path) {
    fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) {
        error_ = errno;
        return;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        error_ = errno;
        return;
    }
    regular_ = S_ISREG(info.st_mode);
    size_ = static_cast<qint64>(info.st_size);
}

RegularFile::~RegularFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

QString RegularFile::errorText() const {
    return QString::fromLocal8Bit(std::strerror(error_));
}

std::optional<QByteArray> RegularFile::readAll(qint64 maxBytes) {
    if (!regular_ || size_ > maxBytes) {
        return std::nullopt;
    }
    QByteArray bytes;
    bytes.resize(static_cast<qsizetype>(size_));
    qint64 done = 0;
    for (;;) {
        if (done == bytes.size()) {
            // One byte more than the limit tells a file that grew past it.
            const qint64 room = std::min<qint64>(maxBytes + 1 - done, 64 * 1024);
            if (room <= 0) {
                return std::nullopt;
            }
            bytes.resize(static_cast<qsizetype>(done + room));
        }
        const ssize_t got =
            ::pread(fd_, bytes.data() + done, static_cast<size_t>(bytes.size() - done),
                    static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error_ = errno;
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    if (done > maxBytes) {
        return std::nullopt;
    }
    bytes.resize(static_cast<qsizetype>(done));
    return bytes;
}

qint64 RegularFile::readAt(qint64 offset, char* buffer, qint64 count) const {
    qint64 done = 0;
    while (fd_ >= 0 && done < count) {
        const ssize_t got = ::pread(fd_, buffer + done, static_cast<size_t>(count - done),
                                    static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        done += got;
    }
    return done;
}

qint64 RegularFile::nextData(qint64 offset) const {
    const off_t data = ::lseek(fd_, static_cast<off_t>(offset), SEEK_DATA);
    if (data >= 0) {
        return data;
    }
    // ENXIO: only a hole follows. Other errors: the file system cannot tell.
    return errno == ENXIO ? std::numeric_limits<qint64>::max() : offset;
}

}  // namespace platform
