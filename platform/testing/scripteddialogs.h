#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>
#include <deque>

#include "platform/dialogs.h"

namespace testing_support {

// Dialogs for tests: records every text shown and gives scripted answers in order.
// With no answer scripted, Abort/Retry/Ignore answers Abort and Yes/No answers No.
// Any thread may ask (the upload worker does); script the answers before it runs.
class ScriptedDialogs final : public platform::Dialogs {
public:
    struct Shown {
        enum Kind { Error, AbortRetryIgnore, YesNo, OpenFiles, AskCredentials } kind;
        QString text;
    };

    void showError(const QString& text) override;
    Answer askAbortRetryIgnore(const QString& text) override;
    bool askYesNo(const QString& text) override;
    // Recorded with the text "FILTERNAME|PATTERNS;...|SUFFIX|multiple or single|FOLDER".
    QStringList getOpenFileNames(const OpenFileRequest& request) override;
    // Recorded with the text "proxy|SITE|REALM" or "server|SITE|REALM".
    std::optional<Credentials> askCredentials(const CredentialsRequest& request) override;

    void scriptAnswer(Answer answer) {
        const QMutexLocker lock(&mutex_);
        abortRetryIgnore_.push_back(answer);
    }
    void scriptYesNo(bool yes) { yesNo_.push_back(yes); }
    // The next open-file dialog returns these files; with none scripted it is cancelled.
    void scriptOpenFiles(const QStringList& files) { openFiles_.push_back(files); }
    // The next credentials dialog answers these (nothing: cancelled, also when none is
    // scripted).
    void scriptCredentials(std::optional<Credentials> answer) {
        credentials_.push_back(std::move(answer));
    }
    int count(Shown::Kind kind) const;
    // Forgets what was shown and what was scripted.
    void clear();

    // Read once the askers are done.
    const std::vector<Shown>& shown() const { return shown_; }
    QStringList errors() const;

private:
    mutable QMutex mutex_;
    std::vector<Shown> shown_;
    std::deque<Answer> abortRetryIgnore_;
    std::deque<bool> yesNo_;
    std::deque<QStringList> openFiles_;
    std::deque<std::optional<Credentials>> credentials_;
};

}  // namespace testing_support
