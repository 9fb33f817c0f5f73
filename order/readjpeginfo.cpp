#include "order/readjpeginfo.h"

#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>
#include <limits>

#include "order/jpegprobe.h"
#include "platform/regularfile.h"

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

}  // namespace

bool ReadJpegInfo(const QString& FileName, quint16& Width, quint16& Height, qint32& Size) {
    Width = 1;
    Height = 1;
    Size = 0;
    // Non-blocking, so that a pipe named like a photo cannot stall the open.
    const platform::RegularFile file(FileName);
    if (!file.isOpen()) {
        throw FileOpenError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(FileName, file.errorText()));
    }
    if (!file.isRegular()) {
        return false;
    }
    FileSource source(file.descriptor());
    JpegHeader header;
    const bool found = walkJpegHeader(source, file.size(), header);
    Width = header.width;
    Height = header.height;
    if (!found) {
        return false;
    }
    Size = static_cast<qint32>(static_cast<quint32>(static_cast<quint64>(file.size())));
    return Size != 0;
}

}  // namespace order
