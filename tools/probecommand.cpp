#include "tools/probecommand.h"

#include "order/readjpeginfo.h"

namespace tool {

int runProbeCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.isEmpty()) {
        err << "usage: korvella-tool probe FILE...\n";
        return 2;
    }
    int status = 0;
    for (const QString& path : args) {
        quint16 width = 0;
        quint16 height = 0;
        qint32 size = 0;
        out << path << '\t';
        try {
            if (order::ReadJpegInfo(path, width, height, size)) {
                out << "accept " << width << ' ' << height << ' ' << size << '\n';
            } else {
                out << "refuse\n";
            }
        } catch (const order::FileOpenError& e) {
            out << e.text() << '\n';
            status = 1;
        }
    }
    return status;
}

}  // namespace tool
