// korvella-artwork OUTDIR: draws the window pictures and writes them as the JPEG files
// the program is built with (empty.jpg, list.jpg, help.jpg, session.jpg, progress.jpg, viewer.jpg,
// and each again at twice the pixels, empty@2x.jpg and so on).
// scripts/make-artwork.sh runs it into app/artwork/.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <functional>

#include "app/artwork/jpegcodec.h"
#include "app/artwork/painting.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: korvella-artwork OUTDIR\n";
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const std::pair<const char*, std::function<QImage(qreal)>> pictures[] = {
        {"empty.jpg", artwork::paintEmptyLayout},
        {"list.jpg", artwork::paintListLayout},
        {"help.jpg", artwork::paintHelpWindow},
        {"session.jpg", artwork::paintSessionWindow},
        {"progress.jpg", artwork::paintProgressWindow},
        {"viewer.jpg", artwork::paintViewerWindow},
    };
    for (const auto& [name, paint] : pictures) {
        // Each once for ordinary screens and once at twice the pixels (NAME@2x.jpg).
        for (const qreal ratio : {1.0, 2.0}) {
            const QByteArray jpeg = artwork::encodeJpeg(paint(ratio), 92);
            QString file = QString::fromLatin1(name);
            if (ratio > 1) {
                file.replace(QStringLiteral(".jpg"), QStringLiteral("@2x.jpg"));
            }
            QFile output(out.filePath(file));
            if (jpeg.isEmpty() || !output.open(QIODevice::WriteOnly) ||
                output.write(jpeg) != jpeg.size()) {
                err << "korvella-artwork: cannot write " << output.fileName() << "\n";
                return 1;
            }
        }
    }
    return 0;
}
