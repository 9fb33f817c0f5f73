#pragma once

#include <vips/vips8>

#include <QString>
#include <memory>

#include "formats/formatsrecord.h"

namespace images {

// A print's pixels before encoding: the canvas, computed on demand from the decoded
// photo it holds.
struct PrintCanvas {
    std::shared_ptr<const void> decoded;
    vips::VImage image;
};

// The canvas of preparePrint before it is encoded. Raises PrepareError.
PrintCanvas layOutPrint(const QString& path, const formats::TFormatsRecord& format,
                        const QString& how);

}  // namespace images
