#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Every message box and prompt the program shows goes through this interface, so that
// tests can read the exact texts and answer them. Called on the user-interface thread.
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
    // "*.jpg"), the extension added to a name typed without one, and whether several
    // files may be chosen.
    struct OpenFileRequest {
        QString filterName;
        QStringList patterns;
        QString defaultSuffix;
        bool multiple = false;
    };
    // The chosen files in the order the dialog gives them; empty when cancelled.
    virtual QStringList getOpenFileNames(const OpenFileRequest& request) = 0;
};

}  // namespace platform
