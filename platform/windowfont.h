#pragma once

#include <QFont>
#include <QString>

namespace platform {

// A font of the windows' original look, sized in pixels as their layouts are: the
// family by the name those windows give (substitutes stand in where it is missing).
inline QFont windowFont(const char* family, int pixelSize, bool bold) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

}  // namespace platform
