#include "order/resolution.h"

#include <cmath>

#include "order/choices.h"

namespace order {

const formats::TFormatsRecord* findFormat(const formats::TFormats& catalogue, const QString& name) {
    for (const formats::TFormatsRecord& record : catalogue) {
        if (record.Name.compare(name, Qt::CaseInsensitive) == 0) {
            return &record;
        }
    }
    return nullptr;
}

std::optional<int> effectiveResolution(qint32 width, qint32 height, quint16 widthMm) {
    if (widthMm == 0) {
        return std::nullopt;
    }
    const long double longSide = width > height ? width : height;
    // Divided first, multiplied after, in 80-bit precision; nearbyint rounds half to even.
    const long double dpi = std::nearbyintl(longSide / widthMm * 25.4L);
    return static_cast<int>(dpi);
}

std::optional<PrintResolution> printResolution(const OrderRow& row,
                                               const formats::TFormats& catalogue) {
    const formats::TFormatsRecord* format = findFormat(catalogue, row.format);
    if (format == nullptr) {
        return std::nullopt;
    }
    return printResolution(row, *format);
}

std::optional<PrintResolution> printResolution(const OrderRow& row,
                                               const formats::TFormatsRecord& format) {
    const std::optional<int> dpi =
        effectiveResolution(row.width.value_or(0), row.height.value_or(0), format.Width_mm);
    if (!dpi) {
        return std::nullopt;
    }
    const bool prepared = row.param == paramPrepared();
    return PrintResolution{*dpi, *dpi < format.DPI_Min && !prepared};
}

}  // namespace order
