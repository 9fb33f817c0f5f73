#pragma once

#include "images/layout.h"

namespace vips {
class VImage;
}

// The scaling engine under print preparation and the viewer: pictures made 8-bit RGB,
// scaled with a bicubic kernel, turned and put on a white canvas, all as libvips
// pipelines that are computed only when read.
namespace images {

// The picture as 8-bit sRGB with three bands, whatever it was loaded as (grey, CMYK,
// 16-bit, with alpha). No colour profile of the photo is applied.
vips::VImage toRgb8(const vips::VImage& picture);

// How a picture may be read: in any order (a decoded buffer, a random-access load), or
// only once from top to bottom (a loader streaming its file).
enum class Access { Random, Sequential };

// The picture as 8-bit sRGB, scaled with a bicubic kernel to exactly width x height,
// then turned 90° clockwise when turn is set (which needs Access::Random).
vips::VImage scalePicture(const vips::VImage& picture, int width, int height, Access access,
                          bool turn = false);

// The scaled picture on a white canvas at the placement's position, clipped.
vips::VImage placeOnCanvas(const vips::VImage& scaled, TScaleSize canvas, const Placement& place);

// Draws the picture onto a white canvas: scaled with a bicubic kernel to the placement's
// size, put at its position, clipped to the canvas. With turn set the picture is turned
// 90° clockwise after scaling (the placement is that of the turned picture), which
// gives the same print from far fewer pixels. The picture may be a reduced decode of
// the photo the placement was made for; when turned it must allow reads in any order
// (a decoded buffer, a random-access load). Raises vips::VError when it cannot be read.
vips::VImage drawCanvas(const vips::VImage& picture, TScaleSize canvas, const Placement& place,
                        bool turn, Access access = Access::Random);

}  // namespace images
