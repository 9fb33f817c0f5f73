#pragma once

#include "platform/dialogs.h"

namespace platform {

// Dialogs shown as Qt message boxes, application-modal, captioned with the
// application's title. Message boxes and the credentials dialog may be asked for from
// any thread: they come up on the user-interface thread while the caller waits.
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

// A message's text as its box shows it: web addresses never broken across lines.
QString unbrokenAddresses(const QString& text);

}  // namespace platform
