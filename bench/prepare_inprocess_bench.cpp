// Print preparation inside one process, start-up excluded: prepares each photo given
// on the command line RUNS times onto a canvas and reports the median time per photo.
//   build-bench/bench/prepare_inprocess_bench WIDTH_PX HEIGHT_PX RUNS PHOTO...
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>
#include <vector>

#include "images/prepare.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 5) {
        out << "usage: prepare_inprocess_bench WIDTH_PX HEIGHT_PX RUNS PHOTO...\n";
        return 2;
    }
    formats::TFormatsRecord format;
    format.Width_px = static_cast<quint16>(args[1].toInt());
    format.Height_px = static_cast<quint16>(args[2].toInt());
    const int runs = std::max(1, args[3].toInt());
    for (const QString& photo : args.mid(4)) {
        images::preparePrint(photo, format, QStringLiteral("С полями"));  // warm-up
        std::vector<qint64> times;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer timer;
            timer.start();
            images::preparePrint(photo, format, QStringLiteral("С полями"));
            times.push_back(timer.elapsed());
        }
        std::sort(times.begin(), times.end());
        out << QFileInfo(photo).fileName() << " -> " << format.Width_px << "x" << format.Height_px
            << ": " << times[times.size() / 2] << " ms per photo (" << times.front() << "-"
            << times.back() << ")\n";
    }
    return 0;
}
