#include "tools/preparecommand.h"

#include <QFile>

#include "images/prepare.h"

namespace tool {

int runPrepareCommand(const QStringList& args, QTextStream& /*out*/, QTextStream& err) {
    bool widthOk = false;
    bool heightOk = false;
    const int width = args.size() == 5 ? args[2].toInt(&widthOk) : 0;
    const int height = args.size() == 5 ? args[3].toInt(&heightOk) : 0;
    if (!widthOk || !heightOk || width < 1 || height < 1 || width > 65535 || height > 65535) {
        err << "usage: korvella-tool prepare IN OUT WIDTH_PX HEIGHT_PX HOW\n";
        return 2;
    }
    formats::TFormatsRecord format;
    format.Width_px = static_cast<quint16>(width);
    format.Height_px = static_cast<quint16>(height);
    try {
        const QByteArray jpeg = images::preparePrint(args[0], format, args[4]);
        QFile file(args[1]);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(jpeg) != jpeg.size()) {
            err << "Cannot write " << args[1] << ": " << file.errorString() << "\n";
            return 1;
        }
    } catch (const images::PrepareError& e) {
        err << args[0] << ": " << e.text() << "\n";
        return 1;
    } catch (const platform::Error& e) {
        err << e.text() << "\n";
        return 1;
    } catch (const std::exception& e) {
        err << QString::fromUtf8(e.what()) << "\n";
        return 1;
    }
    return 0;
}

}  // namespace tool
