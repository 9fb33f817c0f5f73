#pragma once

#include <QTextStream>

#include "platform/dialogs.h"

namespace tool {

// Dialogs for the command line: each message is printed to the stream (texts with
// their CR LF breaks as they are), questions get their cautious answer (Abort, No,
// no files, no credentials).
class PrintingDialogs final : public platform::Dialogs {
public:
    explicit PrintingDialogs(QTextStream& out) : out_(out) {}

    void showError(const QString& text) override { out_ << text << "\n"; }
    Answer askAbortRetryIgnore(const QString& text) override {
        out_ << text << "\n";
        return Answer::Abort;
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
};

}  // namespace tool
