#pragma once

#include "platform/dialogs.h"

class QWidget;

namespace platform {

// Dialogs shown as Qt message boxes, application-modal, captioned with the
// application's title and owned by dialogOwner(). Message boxes and the credentials
// dialog may be asked for from any thread: they come up on the user-interface thread
// while the caller waits.
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QString title) : title_(std::move(title)) {}

    void showError(const QString& text) override;
    Answer askAbortRetryIgnore(const QString& text) override;
    bool askYesNo(const QString& text) override;
    QStringList getOpenFileNames(const OpenFileRequest& request) override;
    std::optional<Credentials> askCredentials(const CredentialsRequest& request) override;

private:
    int exec(int icon, const QString& text, int buttons);

    QString title_;
};

// The window a message box or dialog coming up now belongs to: the modal window (the
// progress window, the viewer), else the active one, else the first one shown; none
// before any window shows. User-interface thread only.
QWidget* dialogOwner();

// A message's text as its box shows it: web addresses never broken across lines.
QString unbrokenAddresses(const QString& text);

}  // namespace platform
