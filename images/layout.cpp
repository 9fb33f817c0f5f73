#include "images/layout.h"

#include <cmath>
#include <cstdlib>

#include "order/choices.h"

namespace images {

namespace {

// Round half to even, as the layout's halving needs (-99.5 -> -100, 0.5 -> 0).
int roundEven(long double value) {
    return static_cast<int>(std::nearbyintl(value));
}

}  // namespace

TScaleSize ScaleImage(qint32 max_width, qint32 max_height, qint32 cur_width, qint32 cur_height) {
    const double tall = static_cast<double>(cur_height) / max_height;
    const double wide = static_cast<double>(cur_width) / max_width;
    // The products are 32-bit: wrap as the original did, then truncate toward zero.
    if (tall > wide) {
        const auto product =
            static_cast<qint32>(static_cast<quint32>(cur_width) * static_cast<quint32>(max_height));
        return {product / cur_height, max_height};
    }
    const auto product =
        static_cast<qint32>(static_cast<quint32>(cur_height) * static_cast<quint32>(max_width));
    return {max_width, product / cur_width};
}

TScaleSize canvasSize(const formats::TFormatsRecord& format, float proportion) {
    const long double scale = proportion;
    return {roundEven(format.Width_px * scale), roundEven(format.Height_px * scale)};
}

Placement placePicture(TScaleSize canvas, qint32 width, qint32 height, const QString& how) {
    const int cw = canvas.Width;
    const int ch = canvas.Height;
    if (how == order::paramWithBorders()) {
        const TScaleSize fit = ScaleImage(cw, ch, width, height);
        const auto w = static_cast<quint16>(fit.Width);
        const auto h = static_cast<quint16>(fit.Height);
        if (static_cast<double>(cw) / ch >= static_cast<double>(w) / h) {
            return {std::abs(roundEven((cw - w) / 2.0L)), 0, w, h, true};
        }
        return {0, std::abs(roundEven((ch - h) / 2.0L)), w, h, true};
    }
    if (how == order::paramBorderless()) {
        const double rw = static_cast<double>(width) / cw;
        const double rh = static_cast<double>(height) / ch;
        // The products' low 32 bits divided as unsigned numbers.
        if (rw > rh) {
            const auto w =
                static_cast<quint16>((static_cast<quint32>(width) * static_cast<quint32>(ch)) /
                                     static_cast<quint32>(height));
            return {roundEven((cw - w) / 2.0L), 0, w, ch, false};
        }
        const auto h =
            static_cast<quint16>((static_cast<quint32>(height) * static_cast<quint32>(cw)) /
                                 static_cast<quint32>(width));
        return {0, roundEven((ch - h) / 2.0L), cw, h, false};
    }
    return {roundEven((cw - width) / 2.0L), roundEven((ch - height) / 2.0L), width, height, true};
}

}  // namespace images
