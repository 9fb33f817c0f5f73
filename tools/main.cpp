#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "tools/csvcommand.h"
#include "tools/formatscommand.h"
#include "tools/preparecommand.h"
#include "tools/probecommand.h"
#include "tools/sendcommand.h"
#include "tools/sessionscommand.h"
#include "tools/viewercommands.h"

namespace {

void usage(QTextStream& err) {
    err << "usage: korvella-tool COMMAND ARGS...\n"
           "commands:\n"
           "  csv FILE [--save OUT]   load an order file as the program does and print it;\n"
           "                          with --save also write it to OUT as the program saves\n"
           "  probe FILE...           read each JPEG's pixel size and file size as the\n"
           "                          program does when adding photos\n"
           "  formats [--update] [--host HOST]\n"
           "                          load the print formats as the program does (with\n"
           "                          --update: download them anew) and print them\n"
           "  prepare IN OUT WIDTH_PX HEIGHT_PX HOW\n"
           "                          make the print the upload would send for IN and\n"
           "                          write it to OUT as JPEG\n"
           "  send [--host HOST] [--format NAME] [--how HOW] [--paper PAPER] [--count N]\n"
           "       [--on-failure abort|ignore] PHOTO...\n"
           "                          upload the photos as one order, as the send command\n"
           "                          does, printing what its window would show\n"
           "  sharpen IN.bmp OUT.bmp ALPHA [--separate]\n"
           "                          a 24-bit BMP through the viewer's sharpening\n"
           "  preview PHOTO OUT.bmp WIDTH_PX HEIGHT_PX HOW [--turn left|right]\n"
           "                          the viewer's preview of PHOTO as a 24-bit BMP\n"
           "  sessions [--new] [--host HOST]\n"
           "                          list the stored upload sessions as the program does\n"
           "                          (with --new: get and store a new one first)\n";
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        usage(err);
        return 2;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("csv")) {
        return tool::runCsvCommand(args, out, err);
    }
    if (command == QLatin1String("prepare")) {
        return tool::runPrepareCommand(args, out, err);
    }
    if (command == QLatin1String("formats")) {
        return tool::runFormatsCommand(args, out, err);
    }
    if (command == QLatin1String("probe")) {
        return tool::runProbeCommand(args, out, err);
    }
    if (command == QLatin1String("sharpen")) {
        return tool::runSharpenCommand(args, out, err);
    }
    if (command == QLatin1String("preview")) {
        return tool::runPreviewCommand(args, out, err);
    }
    if (command == QLatin1String("send")) {
        return tool::runSendCommand(args, out, err);
    }
    if (command == QLatin1String("sessions")) {
        return tool::runSessionsCommand(args, out, err);
    }
    usage(err);
    return 2;
}
