#pragma once

#include <QString>
#include <QtGlobal>

#include "formats/formatsrecord.h"

namespace images {

// A width and a height in pixels.
struct TScaleSize {
    qint32 Width = 0;
    qint32 Height = 0;
    bool operator==(const TScaleSize&) const = default;
};

// The largest size of the picture's aspect ratio that fits the box; pictures are
// enlarged as well as reduced. When the ratios are equal the width decides.
TScaleSize ScaleImage(qint32 max_width, qint32 max_height, qint32 cur_width, qint32 cur_height);

// Where the picture goes on the canvas: drawn scaled to w x h with its top left corner
// at (x, y), which may lie outside the canvas; fill says whether the canvas is white
// first.
struct Placement {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    bool fill = true;
    bool operator==(const Placement&) const = default;
};

// The canvas of a print format at a scale: its pixel size times proportion, rounded
// half to even.
TScaleSize canvasSize(const formats::TFormatsRecord& format, float proportion);

// How a picture is laid out on a canvas: "С полями" fits it inside with white bands,
// "Без полей" covers the canvas and cuts what overhangs, any other value (compared
// exactly) puts it at its own size, centred on white.
Placement placePicture(TScaleSize canvas, qint32 width, qint32 height, const QString& how);

}  // namespace images
