#pragma once

#include <QStringList>
#include <QTextStream>

namespace tool {

// korvella-tool probe FILE...: runs the JPEG header probe on each file and prints one
// line per file: the path, a tab, then "accept WIDTH HEIGHT SIZE", "refuse", or the
// error text when the file cannot be opened. Exit status 0 when every file could be
// opened, 1 otherwise, 2 without files.
int runProbeCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace tool
