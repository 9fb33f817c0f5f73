#pragma once

#include <QString>

#include "formats/formatsrecord.h"
#include "images/scaling.h"

class QIODevice;
namespace vips {
class VImage;
}

namespace images {

// Lays the picture out on the canvas of the format at the given scale (see
// placePicture and drawCanvas).
vips::VImage layoutCanvas(const vips::VImage& picture, const formats::TFormatsRecord& Format,
                          const QString& How, float proportion, bool turn = false);

// Writes an 8-bit, three-band image as an uncompressed 24-bit BMP at the stream's
// position. Raises StreamError when the stream takes fewer bytes.
void writeBmp(QIODevice& stream, const vips::VImage& rgb);

// Lays the picture out (not turned) and writes the canvas into stream as BMP. True
// whenever it returns; failures are raised.
bool BorderSize(QIODevice& stream, const vips::VImage& img, const formats::TFormatsRecord& Format,
                const QString& How, float proportion);

}  // namespace images
