#pragma once

#include <QStringList>
#include <QTextStream>

namespace tool {

// korvella-tool prepare IN OUT WIDTH_PX HEIGHT_PX HOW: makes the print the upload
// would send for photo IN on a canvas of WIDTH_PX x HEIGHT_PX with the how-to-print
// choice HOW ("С полями", "Без полей" or anything else for as is) and writes the
// JPEG to OUT. Prints nothing on out; exit status 0 on success, 1 with the error
// text on err otherwise.
int runPrepareCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace tool
