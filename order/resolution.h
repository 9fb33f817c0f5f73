#pragma once

#include <optional>

#include "formats/formatsrecord.h"
#include "order/orderrow.h"

namespace order {

// How a photo prints in its format: the effective resolution in dots per inch and
// whether the row is to be warned about as too coarse for the format.
struct PrintResolution {
    int dpi = 0;
    bool warning = false;
};

// The first catalogue entry whose name equals the format name, letter case ignored
// (Cyrillic too); nothing when there is none.
const formats::TFormatsRecord* findFormat(const formats::TFormats& catalogue, const QString& name);

// The photo's longer side over the format's Width_mm, times 25.4, in extended
// precision and rounded half to even. The warning holds when that is below the
// format's DPI_Min, unless the row's Param says the photo is prepared for print.
// Nothing for a format missing from the catalogue or with a Width_mm of 0.
std::optional<PrintResolution> printResolution(const OrderRow& row,
                                               const formats::TFormats& catalogue);
// The same for a format already at hand (the one the viewer's list holds).
std::optional<PrintResolution> printResolution(const OrderRow& row,
                                               const formats::TFormatsRecord& format);

// The effective resolution alone, for a known format.
std::optional<int> effectiveResolution(qint32 width, qint32 height, quint16 widthMm);

}  // namespace order
