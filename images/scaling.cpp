#include "images/scaling.h"

#include <vips/vips8>

namespace images {

using vips::VImage;

VImage toRgb8(const VImage& picture) {
    VImage rgb = picture;
    if (rgb.interpretation() != VIPS_INTERPRETATION_sRGB || rgb.format() != VIPS_FORMAT_UCHAR) {
        rgb = rgb.colourspace(VIPS_INTERPRETATION_sRGB);
    }
    if (rgb.bands() > 3) {
        rgb = rgb.extract_band(0, VImage::option()->set("n", 3));
    } else if (rgb.bands() < 3) {
        const VImage grey = rgb.extract_band(0);
        rgb = grey.bandjoin({grey, grey});
    }
    if (rgb.format() != VIPS_FORMAT_UCHAR) {
        rgb = rgb.cast(VIPS_FORMAT_UCHAR);
    }
    return rgb.copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

namespace {

// Exactly width x height: a reduction may round its size a pixel the other way.
VImage exactly(const VImage& picture, int width, int height) {
    if (picture.width() == width && picture.height() == height) {
        return picture;
    }
    return picture.embed(0, 0, width, height, VImage::option()->set("extend", VIPS_EXTEND_COPY));
}

VImage reduceVertically(const VImage& picture, int height) {
    if (picture.height() == height) {
        return picture;
    }
    return picture.reducev(static_cast<double>(picture.height()) / height,
                           VImage::option()->set("kernel", VIPS_KERNEL_CUBIC));
}

}  // namespace

VImage scalePicture(const VImage& picture, int width, int height, Access access, bool turn) {
    const VImage rgb = toRgb8(picture);
    if (access == Access::Random && width <= rgb.width() && height <= rgb.height()) {
        // libvips's vertical pass is vectorised, its horizontal one is not: the
        // horizontal reduction is made a vertical one on the picture turned, which the
        // print's own turn saves turning back.
        const VImage vertical = exactly(reduceVertically(rgb, height), rgb.width(), height);
        if (turn) {
            return exactly(reduceVertically(vertical.rot(VIPS_ANGLE_D90), width), height, width);
        }
        if (width == rgb.width()) {
            return vertical;
        }
        return exactly(reduceVertically(vertical.rot(VIPS_ANGLE_D90), width), height, width)
            .rot(VIPS_ANGLE_D270);
    }
    VImage scaled = rgb;
    if (width != scaled.width() || height != scaled.height()) {
        scaled =
            exactly(scaled.resize(static_cast<double>(width) / scaled.width(),
                                  VImage::option()
                                      ->set("vscale", static_cast<double>(height) / scaled.height())
                                      ->set("kernel", VIPS_KERNEL_CUBIC)),
                    width, height);
    }
    return turn ? scaled.rot(VIPS_ANGLE_D90) : scaled;
}

VImage placeOnCanvas(const VImage& scaled, TScaleSize canvas, const Placement& place) {
    // On white; what falls outside the canvas is clipped.
    return scaled.embed(place.x, place.y, canvas.Width, canvas.Height,
                        VImage::option()
                            ->set("extend", VIPS_EXTEND_BACKGROUND)
                            ->set("background", std::vector<double>{255, 255, 255}));
}

VImage drawCanvas(const VImage& picture, TScaleSize canvas, const Placement& place, bool turn,
                  Access access) {
    // Scaled unturned to the turned target's swapped size, then turned as it is
    // computed, never held whole.
    const VImage scaled = turn ? scalePicture(picture, place.h, place.w, access, true)
                               : scalePicture(picture, place.w, place.h, access, false);
    return placeOnCanvas(scaled, canvas, place);
}

}  // namespace images
