#include "order/readjpeginfo.h"

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
    explicit FileSource(const platform::RegularFile& file) : file_(file) {}
    int64_t readAt(int64_t offset, uint8_t* buffer, int64_t count) override {
        return file_.readAt(offset, reinterpret_cast<char*>(buffer), count);
    }
    int64_t nextData(int64_t offset) override { return file_.nextData(offset); }

private:
    const platform::RegularFile& file_;
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
    FileSource source(file);
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
