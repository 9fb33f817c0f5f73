#pragma once

#include <QTextStream>

#include "platform/dialogs.h"

namespace tool {

// Dialogs for the command line: each message is printed to the stream (texts with
// their CR LF breaks as they are), questions get their cautious answer (Abort, or the
// answer given for a failed row; No, no files, no credentials).
class PrintingDialogs final : public platform::Dialogs {
public:
    explicit PrintingDialogs(QTextStream& out, Answer onFailure = Answer::Abort)
        : out_(out), onFailure_(onFailure) {}

    void showError(const QString& text) override { out_ << text << "\n"; }
    Answer askAbortRetryIgnore(const QString& text) override {
        out_ << text << "\n";
        return onFailure_;
    }
    bool askYesNo(const QString& text) override {
        out_ << text << "\n";
        return false;
    }
    QStringList getOpenFileNames(const OpenFileRequest&) override { return {}; }
    std::optional<Credentials> askCredentials(const CredentialsRequest& request) override {
        out_ << "credentials wanted by " << request.site << "\n";
        return std::nullopt;
    }

private:
    QTextStream& out_;
    Answer onFailure_;
};

}  // namespace tool
