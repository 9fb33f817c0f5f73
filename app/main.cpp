#include "app/application.h"
#include "platform/qtdialogs.h"

int main(int argc, char** argv) {
    platform::QtDialogs dialogs(applicationTitle());
    KorvellaApplication app(argc, argv, dialogs);
    QApplication::setApplicationName(QStringLiteral("korvella"));
    Program program(dialogs);
    return program.exec();
}
