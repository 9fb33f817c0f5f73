#pragma once

#include <QImage>

// The window pictures, drawn from code so that they can be made again from the
// repository (scripts/make-artwork.sh). Buttons, boxes and panels lie exactly where
// windowgeometry.h puts the controls over them. Each is drawn for a device pixel
// ratio: at 2 the picture has twice the pixels each way (for HiDPI screens), its
// geometry in logical pixels unchanged.
namespace artwork {

// The main window's empty layout (Image2, 739 x 437).
QImage paintEmptyLayout(qreal ratio = 1);
// The main window's list layout (Image1, 678 x 610).
QImage paintListLayout(qreal ratio = 1);
// The help window's background (420 x 416), its close button included.
QImage paintHelpWindow(qreal ratio = 1);
// The session window's background (397 x 306), its buttons included.
QImage paintSessionWindow(qreal ratio = 1);
// The progress window's background (397 x 208), its cancel button included.
QImage paintProgressWindow(qreal ratio = 1);
// The image viewer's background (749 x 436), its buttons included.
QImage paintViewerWindow(qreal ratio = 1);

}  // namespace artwork
