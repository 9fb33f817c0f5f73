#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

namespace formats {

// One print format as the lab publishes it. The name identifies the format
// everywhere: pick-list entry, order-row value, settings key.
struct TFormatsRecord {
    QString Name;
    float Cost = 0;
    quint16 Width_mm = 0;
    quint16 Height_mm = 0;
    quint16 Width_px = 0;
    quint16 Height_px = 0;
    quint16 DPI_Min = 0;
};

// The catalogue, in the order the settings store lists the formats. A name's position
// in the order list's Format pick list equals its index here.
using TFormats = std::vector<TFormatsRecord>;

}  // namespace formats
