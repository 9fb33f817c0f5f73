#pragma once

#include <QStringList>
#include <QTextStream>

namespace tool {

// korvella-tool sessions [--new] [--host HOST]: with --new, obtains a new session key
// from the lab and stores it as the upload does (S1 printed when that fails); then
// lists the stored sessions as the session window reads them, one a line: the stamp, a
// tab, the key. The messages the window would show (T1, T2, T3, S2) are printed where
// they come. Exit status 0, or 1 when --new got no key.
int runSessionsCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace tool
