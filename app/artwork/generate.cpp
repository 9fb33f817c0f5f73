// korvella-artwork OUTDIR: draws the window pictures and writes them as the JPEG files
// the program is built with (empty.jpg, list.jpg, help.jpg, session.jpg, progress.jpg, viewer.jpg).
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
    const std::pair<const char*, std::function<QImage()>> pictures[] = {
        {"empty.jpg", artwork::paintEmptyLayout},
        {"list.jpg", artwork::paintListLayout},
        {"help.jpg", artwork::paintHelpWindow},
        {"session.jpg", artwork::paintSessionWindow},
        {"progress.jpg", artwork::paintProgressWindow},
        {"viewer.jpg", artwork::paintViewerWindow},
    };
    for (const auto& [name, paint] : pictures) {
        const QByteArray jpeg = artwork::encodeJpeg(paint(), 92);
        QFile file(out.filePath(QString::fromLatin1(name)));
        if (jpeg.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size()) {
            err << "korvella-artwork: cannot write " << file.fileName() << "\n";
            return 1;
        }
    }
    return 0;
}
