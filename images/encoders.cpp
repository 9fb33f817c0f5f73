#include "images/encoders.h"

#include <vips/vips.h>

#include "images/vipsinit.h"

namespace images {

const std::vector<ImageEncoder>& imageEncoders() {
    static const std::vector<ImageEncoder> list = [] {
        ensureVips();
        // Identifiers as the original imaging layer numbers its built-in encoders.
        struct Known {
            const char* mime;
            const char* suffix;
            const char* id;
        };
        const Known known[] = {
            {"image/bmp", nullptr, "{557cf400-1a04-11d3-9a73-0000f81ef32e}"},
            {"image/jpeg", ".jpg", "{557cf401-1a04-11d3-9a73-0000f81ef32e}"},
            {"image/gif", ".gif", "{557cf402-1a04-11d3-9a73-0000f81ef32e}"},
            {"image/tiff", ".tif", "{557cf405-1a04-11d3-9a73-0000f81ef32e}"},
            {"image/png", ".png", "{557cf406-1a04-11d3-9a73-0000f81ef32e}"},
        };
        std::vector<ImageEncoder> encoders;
        for (const Known& k : known) {
            if (k.suffix == nullptr || vips_foreign_find_save(k.suffix) != nullptr) {
                encoders.push_back(
                    {QString::fromLatin1(k.mime), QUuid::fromString(QLatin1String(k.id))});
            }
        }
        vips_error_clear();
        return encoders;
    }();
    return list;
}

int FindEncoderClassId(const QString& mime, QUuid& classId) {
    const std::vector<ImageEncoder>& list = imageEncoders();
    int found = -1;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].mimeType == mime) {
            classId = list[i].classId;
            found = static_cast<int>(i);
        }
    }
    return found;
}

}  // namespace images
