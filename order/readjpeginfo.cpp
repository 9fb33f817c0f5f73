#include "order/readjpeginfo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>
#include <limits>

#include "order/jpegprobe.h"

namespace order {

namespace {

class FileSource final : public ByteSource {
public:
    explicit FileSource(int fd) : fd_(fd) {}
    int64_t readAt(int64_t offset, uint8_t* buffer, int64_t count) override {
        int64_t done = 0;
        while (done < count) {
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
    int64_t nextData(int64_t offset) override {
        const off_t data = ::lseek(fd_, static_cast<off_t>(offset), SEEK_DATA);
        if (data >= 0) {
            return data;
        }
        // ENXIO: only a hole follows. Other errors: the file system cannot tell.
        return errno == ENXIO ? std::numeric_limits<int64_t>::max() : offset;
    }

private:
    int fd_;
};

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

bool ReadJpegInfo(const QString& FileName, quint16& Width, quint16& Height, qint32& Size) {
    Width = 1;
    Height = 1;
    Size = 0;
    // Non-blocking, so that a pipe named like a photo cannot stall the open.
    const FileDescriptor fd(::open(QFile::encodeName(FileName).constData(),
                                   O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        const int error = errno;
        throw FileOpenError(QStringLiteral("Cannot open file \"%1\". %2")
                                .arg(FileName, QString::fromLocal8Bit(std::strerror(error))));
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    FileSource source(fd.get());
    JpegHeader header;
    const bool found = walkJpegHeader(source, info.st_size, header);
    Width = header.width;
    Height = header.height;
    if (!found) {
        return false;
    }
    Size = static_cast<qint32>(static_cast<quint32>(static_cast<quint64>(info.st_size)));
    return Size != 0;
}

}  // namespace order
