#pragma once

#include "formats/formatsrecord.h"

namespace images::testing {

// A print format of the given pixel size (the rest does not matter to the images).
inline formats::TFormatsRecord printFormat(int widthPx, int heightPx) {
    formats::TFormatsRecord f;
    f.Name = "test";
    f.Width_px = static_cast<quint16>(widthPx);
    f.Height_px = static_cast<quint16>(heightPx);
    return f;
}

}  // namespace images::testing
