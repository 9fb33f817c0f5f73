#pragma once

#include <QByteArray>
#include <QIODevice>
#include <cstdint>
#include <memory>
#include "platform/error.h"

namespace images {

// Result codes of the in-memory stream, as the imaging layer's streams report them.
enum class StreamResult { Ok, False, Fail };

// A growable in-memory byte stream with a position, in the shape of the streams the
// imaging layer encodes into: Read/Write report how many bytes moved, Seek takes an
// origin of 0 (start), 1 (current) or 2 (end). Shared by reference; its memory goes
// with the last reference.
class MemoryComStream {
public:
    StreamResult Read(void* buffer, uint32_t count, uint32_t* read);
    StreamResult Write(const void* buffer, uint32_t count, uint32_t* written);
    StreamResult Seek(int64_t offset, int origin, uint64_t* newPosition);
    StreamResult SetSize(uint64_t size);

    const QByteArray& bytes() const { return bytes_; }

private:
    QByteArray bytes_;
    uint64_t position_ = 0;
};

// A new empty in-memory stream, freed when the last holder lets it go.
std::shared_ptr<MemoryComStream> CreateStreamOnHGlobal();

// The program's stream over an in-memory stream of the imaging layer: no position or
// size of its own. Read and Write give the count moved when the stream says Ok and 0
// otherwise. Holds a reference to its source for its whole life.
class TExternStream : public QIODevice {
public:
    explicit TExternStream(std::shared_ptr<MemoryComStream> Source);

    bool isSequential() const override { return false; }
    qint64 size() const override;
    qint64 pos() const override;
    bool seek(qint64 pos) override;
    bool atEnd() const override;
    // Seek with an origin (0, 1, 2) and SetSize, forwarded as they are.
    int64_t Seek(int64_t offset, int origin);
    void SetSize(int64_t newSize);

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    std::shared_ptr<MemoryComStream> FSource;
};

// The general stream operations that need every byte: fewer raise "Stream read error"
// or "Stream write error".
class StreamError : public platform::Error {
public:
    using platform::Error::Error;
};
void ReadBuffer(QIODevice& stream, char* buffer, qint64 count);
void WriteBuffer(QIODevice& stream, const char* buffer, qint64 count);
// Copies the whole stream, from its start, into a byte array.
QByteArray LoadFromStream(QIODevice& stream);

}  // namespace images
