// The viewer's pictures, start-up excluded: opening a photo (its 1600-wide cache, the
// print's layout, the stretch into the box, the sharpening) and a rebuild from the
// cache after a format change, RUNS times each; medians in milliseconds.
//   build-bench/bench/viewer_bench RUNS PHOTO...
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <vector>

#include "images/preview.h"

namespace {

double median(const std::function<void()>& work, int runs) {
    std::vector<qint64> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2] / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        out << "usage: viewer_bench RUNS PHOTO...\n";
        return 2;
    }
    const int runs = std::max(1, args[1].toInt());
    formats::TFormatsRecord tenByFifteen{QStringLiteral("10x15"), 0, 152, 102, 1795, 1205, 150};
    formats::TFormatsRecord thirtyByFortyFive{
        QStringLiteral("30x45"), 0, 450, 300, 5315, 3543, 150};
    for (const QString& photo : args.mid(2)) {
        images::PreviewCache cache = images::openPreviewCache(photo);  // warm-up
        const double open = median(
            [&] {
                cache = images::openPreviewCache(photo);
                images::previewOf(cache, tenByFifteen, QStringLiteral("С полями"), true);
            },
            runs);
        const double rebuild = median(
            [&] {
                images::previewOf(cache, thirtyByFortyFive, QStringLiteral("Без полей"), false);
            },
            runs);
        const double rebuildSmall = median(
            [&] { images::previewOf(cache, tenByFifteen, QStringLiteral("Без полей"), false); },
            runs);
        out << photo << " (" << cache.picture.width << " x " << cache.picture.height
            << " cache): open " << open << " ms, rebuild at 30x45 " << rebuild << " ms, at 10x15 "
            << rebuildSmall << " ms\n";
    }
    return 0;
}
