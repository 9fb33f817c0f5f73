#include "tools/viewercommands.h"

#include <QFile>

#include "images/bmpfile.h"
#include "images/prepare.h"
#include "images/preview.h"
#include "images/sharpen.h"

namespace tool {

namespace {

bool writeFile(const QString& path, const QByteArray& bytes, QTextStream& err) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        err << "Cannot write " << path << ": " << file.errorString() << "\n";
        return false;
    }
    return true;
}

}  // namespace

int runSharpenCommand(const QStringList& args, QTextStream&, QTextStream& err) {
    const bool separate = args.size() == 4 && args[3] == QLatin1String("--separate");
    bool ok = false;
    const float alpha = args.size() >= 3 ? args[2].toFloat(&ok) : 0.0f;
    if (!ok || (args.size() != 3 && !separate)) {
        err << "usage: korvella-tool sharpen IN.bmp OUT.bmp ALPHA [--separate]\n";
        return 2;
    }
    QFile in(args[0]);
    if (!in.open(QIODevice::ReadOnly)) {
        err << "Cannot read " << args[0] << ": " << in.errorString() << "\n";
        return 1;
    }
    QString error;
    images::Picture24 picture = images::readBmp24(in.read(64 * 1024 * 1024), &error);
    if (picture.isNull()) {
        err << args[0] << ": " << error << "\n";
        return 1;
    }
    images::Picture24 result =
        separate ? images::Picture24::blank(picture.width, picture.height) : picture;
    try {
        images::SharpenBitmap(picture.view(), separate ? result.view() : picture.view(), alpha);
    } catch (const images::SharpenAssertion& e) {
        err << e.text() << "\n";
        return 1;
    }
    return writeFile(args[1], images::bmp24(separate ? result : picture), err) ? 0 : 1;
}

int runPreviewCommand(const QStringList& args, QTextStream&, QTextStream& err) {
    bool widthOk = false;
    bool heightOk = false;
    const int width = args.size() >= 5 ? args[2].toInt(&widthOk) : 0;
    const int height = args.size() >= 5 ? args[3].toInt(&heightOk) : 0;
    const bool turn = args.size() == 7 && args[5] == QLatin1String("--turn") &&
                      (args[6] == QLatin1String("left") || args[6] == QLatin1String("right"));
    if (!widthOk || !heightOk || width < 1 || height < 1 || width > 65535 || height > 65535 ||
        (args.size() != 5 && !turn)) {
        err << "usage: korvella-tool preview PHOTO OUT.bmp WIDTH_PX HEIGHT_PX HOW "
               "[--turn left|right]\n";
        return 2;
    }
    formats::TFormatsRecord format;
    format.Width_px = static_cast<quint16>(width);
    format.Height_px = static_cast<quint16>(height);
    try {
        const images::PreviewCache cache = images::openPreviewCache(args[0]);
        images::Picture24 preview = images::previewOf(cache, format, args[4], true);
        if (turn) {
            preview = images::turned(preview, args[6] == QLatin1String("left"));
        }
        return writeFile(args[1], images::bmp24(preview), err) ? 0 : 1;
    } catch (const platform::Error& e) {
        err << e.text() << "\n";
        return 1;
    }
}

}  // namespace tool
