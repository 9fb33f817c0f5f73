#include <QTextStream>
#include <cstring>
#include <memory>

#include "app/Unit1.h"
#include "app/application.h"
#include "app/singleinstance.h"
#include "korvella/buildconfig.h"
#include "platform/qtdialogs.h"
#include "platform/workfolder.h"
#include "service/httpget.h"

int main(int argc, char** argv) {
    // Answered at once, with no window.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            QTextStream(stdout) << QStringLiteral(
                "Использование: korvella [ФОТО.jpg...]\n"
                "Отправка фотографий на печать в фотолабораторию.\n"
                "Названные фотографии добавляются в заказ; если программа уже запущена,\n"
                "они передаются ей.\n"
                "  --help     эта справка\n"
                "  --version  версия программы\n");
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            QTextStream(stdout) << "korvella " << korvella::Version << "\n";
            return 0;
        }
    }
    const service::HttpGlobal http;
    platform::QtDialogs dialogs(applicationTitle());
    KorvellaApplication app(argc, argv, dialogs);
    QApplication::setApplicationName(QStringLiteral("korvella"));

    // One program per user, claimed before anything that can wait on the user or the
    // lab: a later start hands its photos to the running one and ends.
    const QStringList photos = SingleInstance::photosOf(QApplication::arguments().mid(1));
    std::unique_ptr<SingleInstance> instance;
    try {
        instance = std::make_unique<SingleInstance>(platform::GetTempFolder() +
                                                    QStringLiteral("instance.socket"));
        switch (instance->claim(photos)) {
            case SingleInstance::Claim::HandedOver:
                return 0;
            case SingleInstance::Claim::NoAnswer:
                dialogs.showError(SingleInstance::noAnswerMessage());
                return 1;
            case SingleInstance::Claim::First:
                break;
        }
    } catch (const platform::WorkFolderError&) {
        // The program says so itself and does not start.
    }
    Program program(dialogs);
    if (program.started()) {
        TForm1& window = program.form1();
        if (!photos.isEmpty()) {
            window.DropFiles(photos);
        }
        if (instance) {
            // Never while a modal window is up: the order cannot change under an
            // upload, the viewer or a message.
            instance->deliverTo(
                [] {
                    return QApplication::activeModalWidget() == nullptr &&
                           QApplication::activePopupWidget() == nullptr;
                },
                [&window](const QStringList& given) {
                    window.DropFiles(given);
                    window.show();
                    window.raise();
                    window.activateWindow();
                });
        }
    }
    return program.exec();
}
