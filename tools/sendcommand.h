#pragma once

#include <QStringList>
#include <QTextStream>

namespace tool {

// korvella-tool send [--host HOST] [--format NAME] [--how HOW] [--paper PAPER]
// [--count N] [--on-failure abort|ignore] PHOTO...: uploads the photos as one order
// through the same worker as the send command (the session request, each row's print
// and request), without windows. Prints each progress text and message as the window
// would show it, answers a failed row with --on-failure (default abort), and at the
// end the session page's address. Exit status 0 only when the run finished.
int runSendCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace tool
