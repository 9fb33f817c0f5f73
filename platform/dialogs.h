#pragma once

#include <QString>

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
};

}  // namespace platform
