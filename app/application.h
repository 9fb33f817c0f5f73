#pragma once

#include <QApplication>
#include <QString>
#include <memory>

#include "app/programstate.h"
#include "korvella/buildconfig.h"
#include "platform/clock.h"
#include "platform/settingsstore.h"
#include "platform/taskbar.h"
#include "service/httpget.h"

namespace platform {
class CloseOnSignals;
class Dialogs;
class UrlOpener;
}  // namespace platform
class TForm1;
class TForm2;
class TForm3;
class TformSession;
class TfrmHelp;

// The program's title, also the main window's caption.
QString applicationTitle();

// The application object. An error that no handler catches is shown with its text in
// an error box (through the dialogs seam) instead of ending the program.
class KorvellaApplication : public QApplication {
public:
    KorvellaApplication(int& argc, char** argv, platform::Dialogs& dialogs);
    bool notify(QObject* receiver, QEvent* event) override;

private:
    platform::Dialogs& dialogs_;
};

// Where the program finds the lab: the built-in constants, unless a test says otherwise.
struct ProgramOptions {
    QString serviceHost = QString::fromUtf8(korvella::ServiceHost);
    QString serviceWebAddress = QString::fromUtf8(korvella::ServiceWebAddress);
    // Where addresses are opened; none: the desktop's browser.
    platform::UrlOpener* urls = nullptr;
    // Where the time of day comes from; none: the system's clock.
    const platform::Clock* clock = nullptr;
};

// The program: its state, the services the windows are handed, and its windows,
// created in their fixed order at start and destroyed at the end, before the state.
// User-interface thread only.
class Program {
public:
    explicit Program(platform::Dialogs& dialogs, const ProgramOptions& options = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Whether the program could start: without a private working folder it shows why
    // and makes no window.
    bool started() const { return form1_ != nullptr; }
    // Shows the main window and runs the message loop until it closes, then shuts down;
    // 1 at once when the program could not start.
    int exec();
    // The end of the program: the main window's FormDestroy, then the order table is
    // closed, which saves it when changed; a failed save is shown.
    void shutdown();

    ProgramState& state() { return state_; }
    TForm1& form1() { return *form1_; }
    TForm2& form2() { return *form2_; }
    TForm3& form3() { return *form3_; }
    TformSession& formSession() { return *formSession_; }
    TfrmHelp& frmHelp() { return *frmHelp_; }

private:
    platform::Dialogs& dialogs_;
    ProgramState state_;
    // The one settings store of the program (any thread may use it).
    platform::QSettingsStore store_;
    platform::SystemClock systemClock_;
    platform::LauncherEntryTaskbar taskbar_{QString::fromUtf8(korvella::ApplicationId)};
    service::CredentialStore credentials_;
    service::HttpClient http_;
    std::unique_ptr<platform::UrlOpener> desktopUrls_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TformSession> formSession_;
    std::unique_ptr<TfrmHelp> frmHelp_;
    std::unique_ptr<platform::CloseOnSignals> signals_;
    bool shutDown_ = false;
};
