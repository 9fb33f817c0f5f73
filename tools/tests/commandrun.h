#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// Runs one of korvella-tool's commands as main() does, with both of its streams caught.
struct CommandRun {
    int status = 0;
    QString out;
    QString err;
};

template <typename Command>
CommandRun runCommand(Command command, const QStringList& args) {
    CommandRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = command(args, out, err);
    out.flush();
    err.flush();
    return run;
}
