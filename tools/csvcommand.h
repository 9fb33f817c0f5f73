#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace tool {

// korvella-tool csv FILE [--save OUT]: loads an order file as the program opens it and
// prints the header line the next save would write, then each row's eight fields
// (File, Count, Format, Param, Paper, Size, Width, Height) tab-separated, in the
// file's order. Returns the exit status.
int runCsvCommand(const QStringList& args, QTextStream& out, QTextStream& err);

// A value as the csv command prints it: CR, LF, tab and backslash escaped.
QString escapeValue(const QString& value);

}  // namespace tool
