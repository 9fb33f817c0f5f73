#pragma once

#include <QByteArray>
#include <QString>

#include "formats/formatsrecord.h"
#include "platform/error.h"

namespace images {

// A photo that cannot be made into a print or a preview (unreadable, corrupt,
// truncated, a format the imaging library cannot decode). The text says why, in the
// customer's language and without the photo's name, which the message around it gives.
class PrepareError : public platform::Error {
public:
    using platform::Error::Error;
};

// A library failed on this photo: its own (English) text goes to the log, and the
// customer reads that the photo is damaged.
PrepareError damagedPhoto(const QString& path, const QString& libraryText);

// Refuses, before any decoding, a picture of more than 250 megapixels: no camera makes
// them, decompression bombs do. The print, the viewer and the list's thumbnails alike.
void refuseHuge(const QString& path, int width, int height);

// Marks an encoded JPEG as 300 dpi: within its first 50 bytes, after the five bytes
// "JFIF" and 0, the density unit and both densities become 1, 300, 300. A JPEG without
// that segment there is left as it is.
void stampDensity(QByteArray& jpeg);

// The largest shrink of libvips's JPEG loader (1, 2, 4 or 8) that still leaves at least
// the given size of a picture of the given size.
int decodeShrink(int width, int height, int neededWidth, int neededHeight);

// What the upload does with one photo before sending it: loads the file (its
// orientation tag and colour profile are not applied), turns a portrait picture 90°
// clockwise, lays it out on the format's canvas at full size with the row's how-to-
// print choice, encodes it as JPEG quality 80 with a JFIF segment and nothing of the
// photo's metadata, and marks it 300 dpi. A JPEG is decoded at the smallest DCT scale
// that still leaves the size it is drawn at, and turned after scaling.
// Raises PrepareError.
QByteArray preparePrint(const QString& path, const formats::TFormatsRecord& format,
                        const QString& how);

}  // namespace images
