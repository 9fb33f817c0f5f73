#pragma once

#include <QString>
#include <QStringList>
#include <deque>

#include "platform/dialogs.h"

namespace testing_support {

// Dialogs for tests: records every text shown and gives scripted answers in order.
// With no answer scripted, Abort/Retry/Ignore answers Abort and Yes/No answers No.
class ScriptedDialogs final : public platform::Dialogs {
public:
    struct Shown {
        enum Kind { Error, AbortRetryIgnore, YesNo } kind;
        QString text;
    };

    void showError(const QString& text) override;
    Answer askAbortRetryIgnore(const QString& text) override;
    bool askYesNo(const QString& text) override;

    void scriptAnswer(Answer answer) { abortRetryIgnore_.push_back(answer); }
    void scriptYesNo(bool yes) { yesNo_.push_back(yes); }

    const std::vector<Shown>& shown() const { return shown_; }
    QStringList errors() const;

private:
    std::vector<Shown> shown_;
    std::deque<Answer> abortRetryIgnore_;
    std::deque<bool> yesNo_;
};

}  // namespace testing_support
