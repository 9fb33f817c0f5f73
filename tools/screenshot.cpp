// korvella-screenshot OUTDIR: starts the program's windows as a user would see them
// (on the display the environment gives, e.g. Xvfb) and saves each window as a PNG in
// OUTDIR. Dialogs that would wait for a person are answered and listed instead.
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTextStream>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "app/Unit1.h"
#include "app/application.h"
#include "app/help.h"
#include "images/ShowImage.h"
#include "platform/dialogs.h"
#include "printingdialogs.h"
#include "service/Session.h"
#include "upload/progress.h"

namespace {

void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool shoot(QWidget& window, const QString& path) {
    window.show();
    window.raise();
    settle(400);
    const QPixmap shot = window.screen()->grabWindow(window.winId());
    const bool saved = shot.save(path);
    QTextStream(stdout) << path << (saved ? "" : " (not saved)") << "\n";
    window.hide();
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QTextStream err(stderr);
    tool::PrintingDialogs dialogs(err);
    KorvellaApplication app(argc, argv, dialogs);
    if (argc != 2) {
        QTextStream(stderr) << "usage: korvella-screenshot OUTDIR\n";
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    Program program(dialogs);
    bool ok = shoot(program.form1(), out.filePath(QStringLiteral("TForm1.png")));
    ok &= shoot(program.form2(), out.filePath(QStringLiteral("TForm2.png")));
    ok &= shoot(program.form3(), out.filePath(QStringLiteral("TForm3.png")));
    ok &= shoot(program.formSession(), out.filePath(QStringLiteral("TformSession.png")));
    ok &= shoot(program.frmHelp(), out.filePath(QStringLiteral("TfrmHelp.png")));
    return ok ? 0 : 1;
}
