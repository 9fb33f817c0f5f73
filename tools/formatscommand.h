#pragma once

#include <QStringList>
#include <QTextStream>

namespace tool {

// korvella-tool formats [--update] [--host HOST]: loads the print formats as the
// program does at start-up (with --update: as the update command does, always
// downloading) from the user's settings store and the lab at HOST (the built-in host
// by default), and prints the messages the program would show, then one format a
// line: Name, Cost, Width_mm, Height_mm, Width_px, Height_px, DPI_Min separated by
// tabs. Exit status 0 when at least one format was loaded.
int runFormatsCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace tool
