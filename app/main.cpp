#include "app/application.h"
#include "platform/qtdialogs.h"
#include "service/httpget.h"

int main(int argc, char** argv) {
    const service::HttpGlobal http;
    platform::QtDialogs dialogs(applicationTitle());
    KorvellaApplication app(argc, argv, dialogs);
    QApplication::setApplicationName(QStringLiteral("korvella"));
    Program program(dialogs);
    return program.exec();
}
