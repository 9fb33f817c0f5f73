#pragma once

#include <QString>

#include "platform/error.h"

namespace order {

// A file that exists but cannot be opened (no permission, locked); the text is the
// message the user sees, with the system's reason.
class FileOpenError : public platform::Error {
public:
    using platform::Error::Error;
};

// Reads a photo's pixel size from its JPEG frame header and the file's size (the low
// 32 bits of its length) without decoding it; only the marker walk is read. True when
// a usable SOF0, SOF1 or SOF2 frame header was found; on false the outputs may hold
// what was found so far (1, 1 and 0 when nothing). Anything but a regular file (a
// folder, a pipe, a device) is refused without being read.
// Throws FileOpenError when the file cannot be opened.
bool ReadJpegInfo(const QString& FileName, quint16& Width, quint16& Height, qint32& Size);

}  // namespace order
