#pragma once

// Where the session window's controls lie. Its picture (drawn by the window artwork)
// shows its buttons and panels at exactly these places, and the window puts its hot
// areas, label and list here, so both read them from this one file.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace geometry::session {

inline constexpr QSize kWindow{397, 306};
// Where the window opens on the screen, where the platform lets a program place it.
inline constexpr QPoint kPlace{552, 392};
inline constexpr QRect Label1{20, 47, 369, 57};
inline constexpr QRect ListBox1{16, 128, 369, 121};
inline constexpr int kListRowHeight = 13;
inline constexpr QRect JvTransparentButton4{168, 264, 105, 33};  // "СТАРЫЕ ЗАГРУЗКИ"
inline constexpr QRect JvTransparentButton1{352, 8, 41, 33};     // the close cross
// The blue circle with the arrow beside JvTransparentButton4; no button lies over it.
inline constexpr QRect arrowCircle{124, 264, 33, 33};

}  // namespace geometry::session
