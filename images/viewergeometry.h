#pragma once

// Where the image viewer's controls lie. Its picture (drawn by the window artwork)
// shows the buttons under the image buttons here, and the window puts its controls
// here, so both read them from this one file.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace geometry::viewer {

inline constexpr QSize kWindow{749, 436};
inline constexpr QPoint Label10{125, 8};  // "ПРОСМОТР ФОТОГРАФИЙ"
inline constexpr QRect Image2{74, 70, 460, 304};
inline constexpr QPoint Label9{72, 41};
// The photo's file name, above the preview's right edge.
inline constexpr QRect kFileName{74, 44, 460, 22};
inline constexpr QPoint Label2{617, 88};
inline constexpr QRect JvDBSpinEdit1{618, 106, 90, 21};
inline constexpr QPoint Label3{632, 149};
inline constexpr QRect DBComboBox1{618, 168, 90, 21};
inline constexpr QPoint Label4{611, 211};
inline constexpr QRect DBComboBox2{618, 230, 90, 21};
inline constexpr QPoint Label5{620, 281};
inline constexpr QRect DBComboBox3{618, 300, 90, 21};
// The image buttons.
inline constexpr QRect JvTransparentButton9{160, 391, 33, 33};  // turn left
// The turn-right button's place is 11 pixels above its neighbours': its hot area
// reaches down to theirs, and the button is drawn in line with them (kTurnRightDrawn).
inline constexpr QRect JvTransparentButton10{201, 380, 33, 44};  // turn right
inline constexpr QRect kTurnRightDrawn{201, 391, 33, 33};
inline constexpr QRect JvTransparentButton11{240, 390, 40, 33};  // first
inline constexpr QRect JvTransparentButton5{288, 392, 33, 28};   // previous
inline constexpr QRect JvTransparentButton7{328, 392, 40, 28};   // delete
inline constexpr QRect JvTransparentButton8{376, 392, 33, 28};   // next
inline constexpr QRect JvTransparentButton12{415, 390, 40, 33};  // last
inline constexpr QRect JvTransparentButton6{616, 392, 97, 25};   // save and close
inline constexpr QRect JvTransparentButton1{658, 6, 33, 33};     // help
inline constexpr QRect JvTransparentButton2{698, 6, 33, 33};     // close

// The strip that drags the window: the top 30 pixels, the left 600.
constexpr bool inDragStrip(int x, int y) {
    return y >= 0 && y < 30 && x >= 0 && x < 600;
}

}  // namespace geometry::viewer
