#pragma once

#include <QString>

#include "images/preview.h"

namespace images {

// A small picture of a photo for the order list's hint: decoded at the coarsest DCT
// scale that still gives at least `longest` pixels on its longer side (about 1/8 of a
// camera photo's, so a 20 MP photo costs a few milliseconds), not turned, RGB as read.
// Any thread. Raises PrepareError when the photo cannot be decoded so (CMYK photos
// included: they get no thumbnail).
Picture24 thumbnailOf(const QString& path, int longest);

}  // namespace images
