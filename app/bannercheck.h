#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

// What the lab's banner may cost the window: it is shown for the program's whole life,
// so a hostile picture must not hold memory or a core for it. Read from the GIF's own
// block structure, before anything is decoded.
struct BannerLimits {
    qsizetype bytes = 2 * 1024 * 1024;
    // Twice the banner's place in the window, either way.
    QSize picture{1294, 420};
    int frames = 1000;
    // Every frame decoded once and kept (the movie caches them).
    qint64 decodedBytes = 64 * 1024 * 1024;
    // The shortest time a frame of an animation stays, in hundredths of a second: a
    // shorter one (0 often) has the movie redraw as fast as it can.
    int shortestDelay = 2;
};

// Why this banner is not shown (for the log), or an empty text when it is within the
// limits. Anything but a well-formed GIF is refused.
QString bannerRefusal(const QByteArray& gif, const BannerLimits& limits = BannerLimits());
