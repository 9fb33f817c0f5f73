#pragma once

// Where the progress window's controls lie. Its picture (drawn by the window artwork)
// shows the cancel button under JvTransparentButton4, and the window puts its hot area,
// label, bars and link here, so both read them from this one file.

#include <QRect>
#include <QSize>

namespace geometry::progress {

inline constexpr QSize kWindow{397, 208};
inline constexpr QRect Label1{20, 8, 369, 65};
inline constexpr QRect JvTransparentButton4{172, 168, 101, 24};  // "ОТМЕНА"
inline constexpr QRect Edit1{20, 107, 351, 19};
inline constexpr QRect ProgressBar2{17, 132, 360, 17};
inline constexpr QRect ProgressBar1{17, 101, 360, 17};

}  // namespace geometry::progress
