#include "app/application.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

#include "app/Unit1.h"
#include "app/artwork/jpegcodec.h"
#include "app/help.h"
#include "app/log.h"
#include "images/ShowImage.h"
#include "platform/dialogs.h"
#include "platform/error.h"
#include "platform/signalclose.h"
#include "platform/urlopener.h"
#include "platform/workfolder.h"
#include "service/Session.h"
#include "upload/progress.h"

QString applicationTitle() {
    return QStringLiteral("\"КОРВЕЛЛА\" - Отправка файлов на печать");
}

KorvellaApplication::KorvellaApplication(int& argc, char** argv, platform::Dialogs& dialogs)
    : QApplication(argc, argv), dialogs_(dialogs) {
    // The windows name the fonts of their original look; where those are missing, the
    // free fonts of the same build and width stand in.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Verdana"), {QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Consolas"), {QStringLiteral("Liberation Mono"),
                                                            QStringLiteral("DejaVu Sans Mono")});
    // The desktop knows the program by its id (taskbar, dock, window icon).
    QGuiApplication::setDesktopFileName(QString::fromUtf8(korvella::ApplicationId));
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/%2.png")
                         .arg(size)
                         .arg(QString::fromUtf8(korvella::ApplicationId)),
                     QSize(size, size));
    }
    setWindowIcon(QIcon::fromTheme(QString::fromUtf8(korvella::ApplicationId), icon));
    // Qt's own texts (message box buttons, the file dialog) in the system's language,
    // Russian where it is another: the program's own texts are Russian only, and a box
    // should not ask in two languages.
    QLocale language = QLocale::system();
    if (language.language() != QLocale::Russian) {
        language = QLocale(QLocale::Russian, QLocale::Russia);
    }
    auto* qtTexts = new QTranslator(this);
    if (qtTexts->load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installTranslator(qtTexts);
    } else {
        qCWarning(lcApp) << "Qt's own Russian texts are missing (qt6-translations-l10n)";
    }
}

bool KorvellaApplication::notify(QObject* receiver, QEvent* event) {
    // The last net: handlers catch their own errors, so reaching here is a fault.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        const QString text = platform::errorText(e);
        qCCritical(lcApp) << "an error reached the event loop:" << text;
        dialogs_.showError(text);
    }
    return false;
}

Program::Program(platform::Dialogs& dialogs, const ProgramOptions& options)
    : dialogs_(dialogs), http_(dialogs, credentials_) {
    // No private working folder, no run: the order is never kept anywhere else.
    try {
        platform::GetTempFolder();
    } catch (const platform::WorkFolderError& e) {
        qCWarning(lcApp) << "no working folder:" << e.what();
        dialogs.showError(e.text());
        return;
    }
    platform::UrlOpener* urls = options.urls;
    if (urls == nullptr) {
        desktopUrls_ = std::make_unique<platform::DesktopUrlOpener>();
        urls = desktopUrls_.get();
    }
    // The main window first: its start-up sequence runs before the others exist.
    const platform::Clock& clock = options.clock != nullptr ? *options.clock : systemClock_;
    form1_ = std::make_unique<TForm1>(
        state_, MainWindowServices{dialogs, http_, store_, *urls, clock, options.serviceHost,
                                   options.serviceWebAddress});
    form1_->setWindowTitle(applicationTitle());
    form2_ = std::make_unique<TForm2>(
        ViewerServices{state_.Data, state_.Formats, state_.FormatPickList(), dialogs},
        artwork::picture(QStringLiteral("viewer")));
    form3_ =
        std::make_unique<TForm3>(*urls, &taskbar_, artwork::picture(QStringLiteral("progress")));
    formSession_ = std::make_unique<TformSession>(
        service::SessionServices{[this](const QString& url) { return http_.HttpGet(url, {}); },
                                 store_, dialogs, clock, options.serviceHost,
                                 options.serviceWebAddress},
        artwork::picture(QStringLiteral("session")));
    frmHelp_ = std::make_unique<TfrmHelp>(options.serviceWebAddress);
    form1_->setHelpWindow(frmHelp_.get());
    form1_->setSessionWindow(formSession_.get());
    form1_->setProgressWindow(form3_.get());
    form1_->setViewerWindow(form2_.get());
    // A kill, Ctrl+C or a logout ends the program as its close does.
    signals_ = std::make_unique<platform::CloseOnSignals>([this] { form1_->close(); });
}

Program::~Program() {
    shutdown();
}

int Program::exec() {
    if (!form1_) {
        return 1;
    }
    form1_->show();
    const int code = QApplication::exec();
    shutdown();
    return code;
}

void Program::shutdown() {
    if (std::exchange(shutDown_, true) || !form1_) {
        return;
    }
    form1_->stopUpload();
    form1_->FormDestroy();
    if (const std::optional<QString> problem = state_.closeOrder()) {
        dialogs_.showError(*problem);
    }
}
