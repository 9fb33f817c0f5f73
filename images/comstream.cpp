#include "images/comstream.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace images {

StreamResult MemoryComStream::Read(void* buffer, uint32_t count, uint32_t* read) {
    const uint64_t size = static_cast<uint64_t>(bytes_.size());
    const uint64_t available = position_ < size ? size - position_ : 0;
    const auto n = static_cast<uint32_t>(std::min<uint64_t>(count, available));
    if (n > 0) {
        std::memcpy(buffer, bytes_.constData() + position_, n);
    }
    position_ += n;
    if (read != nullptr) {
        *read = n;
    }
    // Like the system's memory streams: fewer bytes at the end is still a success.
    return StreamResult::Ok;
}

StreamResult MemoryComStream::Write(const void* buffer, uint32_t count, uint32_t* written) {
    const uint64_t end = position_ + count;
    if (end > static_cast<uint64_t>(std::numeric_limits<int>::max())) {
        if (written != nullptr) {
            *written = 0;
        }
        return StreamResult::Fail;
    }
    if (end > static_cast<uint64_t>(bytes_.size())) {
        bytes_.resize(static_cast<qsizetype>(end), '\0');
    }
    if (count > 0) {
        std::memcpy(bytes_.data() + position_, buffer, count);
    }
    position_ = end;
    if (written != nullptr) {
        *written = count;
    }
    return StreamResult::Ok;
}

StreamResult MemoryComStream::Seek(int64_t offset, int origin, uint64_t* newPosition) {
    int64_t base = 0;
    switch (origin) {
        case 0:
            break;
        case 1:
            base = static_cast<int64_t>(position_);
            break;
        case 2:
            base = bytes_.size();
            break;
        default:
            return StreamResult::Fail;
    }
    if (base + offset < 0) {
        return StreamResult::Fail;
    }
    position_ = static_cast<uint64_t>(base + offset);
    if (newPosition != nullptr) {
        *newPosition = position_;
    }
    return StreamResult::Ok;
}

StreamResult MemoryComStream::SetSize(uint64_t size) {
    if (size > static_cast<uint64_t>(std::numeric_limits<int>::max())) {
        return StreamResult::Fail;
    }
    bytes_.resize(static_cast<qsizetype>(size), '\0');
    return StreamResult::Ok;
}

std::shared_ptr<MemoryComStream> CreateStreamOnHGlobal() {
    return std::make_shared<MemoryComStream>();
}

TExternStream::TExternStream(std::shared_ptr<MemoryComStream> Source) : FSource(std::move(Source)) {
    QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
}

int64_t TExternStream::Seek(int64_t offset, int origin) {
    uint64_t position = 0;
    FSource->Seek(offset, origin, &position);
    return static_cast<int64_t>(position);
}

void TExternStream::SetSize(int64_t newSize) {
    FSource->SetSize(static_cast<uint64_t>(newSize));
}

qint64 TExternStream::size() const {
    return FSource->bytes().size();
}

qint64 TExternStream::pos() const {
    uint64_t position = 0;
    FSource->Seek(0, 1, &position);
    return static_cast<qint64>(position);
}

bool TExternStream::seek(qint64 pos) {
    QIODevice::seek(pos);
    return Seek(pos, 0) == pos;
}

bool TExternStream::atEnd() const {
    return pos() >= size();
}

qint64 TExternStream::readData(char* data, qint64 maxSize) {
    uint32_t read = 0;
    const auto count = static_cast<uint32_t>(std::min<qint64>(maxSize, UINT32_MAX));
    return FSource->Read(data, count, &read) == StreamResult::Ok ? read : 0;
}

qint64 TExternStream::writeData(const char* data, qint64 maxSize) {
    uint32_t written = 0;
    const auto count = static_cast<uint32_t>(std::min<qint64>(maxSize, UINT32_MAX));
    return FSource->Write(data, count, &written) == StreamResult::Ok ? written : 0;
}

void ReadBuffer(QIODevice& stream, char* buffer, qint64 count) {
    if (count != 0 && stream.read(buffer, count) != count) {
        throw StreamError("Stream read error");
    }
}

void WriteBuffer(QIODevice& stream, const char* buffer, qint64 count) {
    if (count != 0 && stream.write(buffer, count) != count) {
        throw StreamError("Stream write error");
    }
}

QByteArray LoadFromStream(QIODevice& stream) {
    stream.seek(0);
    const qint64 size = stream.size();
    QByteArray bytes(size, Qt::Uninitialized);
    ReadBuffer(stream, bytes.data(), size);
    return bytes;
}

}  // namespace images
