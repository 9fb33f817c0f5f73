#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

// Every message box and prompt the program shows goes through this interface, so that
// tests can read the exact texts and answer them. Called on the user-interface thread
// unless a method says otherwise.
class Dialogs {
public:
    enum class Answer { Abort, Retry, Ignore };

    virtual ~Dialogs() = default;

    // An error box with one OK button.
    virtual void showError(const QString& text) = 0;
    // An error box with Abort, Retry and Ignore.
    virtual Answer askAbortRetryIgnore(const QString& text) = 0;
    // A confirmation with Yes and No; true for Yes.
    virtual bool askYesNo(const QString& text) = 0;

    // What an open-file dialog offers: one filter (its description and patterns such as
    // "*.jpg"), the extension added to a name typed without one, whether several files
    // may be chosen, and the folder it opens in.
    struct OpenFileRequest {
        QString filterName;
        QStringList patterns;
        QString defaultSuffix;
        bool multiple = false;
        QString folder;
    };
    // The chosen files in the order the dialog gives them; empty when cancelled.
    virtual QStringList getOpenFileNames(const OpenFileRequest& request) = 0;

    // A server or a proxy wants a user name and password.
    struct CredentialsRequest {
        bool proxy = false;
        QString site;   // the host, or the proxy, that asks
        QString realm;  // what the site calls the protected area, when it says
    };
    struct Credentials {
        QString user;
        QString password;
    };
    // The credentials the user gave; nothing when the user cancelled. May be called
    // from any thread: the dialog is shown on the user-interface thread and the
    // caller waits for the answer.
    virtual std::optional<Credentials> askCredentials(const CredentialsRequest& request) = 0;
};

}  // namespace platform
