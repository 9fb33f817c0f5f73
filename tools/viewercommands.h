#pragma once

#include <QStringList>
#include <QTextStream>

namespace tool {

// korvella-tool sharpen IN.bmp OUT.bmp ALPHA [--separate]: a 24-bit BMP through the
// viewer's sharpening, in place (as the viewer does) unless --separate; a refused
// precondition prints its text and fails.
int runSharpenCommand(const QStringList& args, QTextStream& out, QTextStream& err);

// korvella-tool preview PHOTO OUT.bmp WIDTH_PX HEIGHT_PX HOW [--turn left|right]: the
// preview box's picture as the viewer shows it on opening the photo with a format of
// that pixel size, or after one turn, as a 24-bit BMP.
int runPreviewCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace tool
