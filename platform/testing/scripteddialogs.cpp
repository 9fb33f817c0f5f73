#include "platform/testing/scripteddialogs.h"

#include <QMutexLocker>
#include <algorithm>

namespace testing_support {

void ScriptedDialogs::showError(const QString& text) {
    const QMutexLocker lock(&mutex_);
    shown_.push_back({Shown::Error, text});
}

platform::Dialogs::Answer ScriptedDialogs::askAbortRetryIgnore(const QString& text) {
    const QMutexLocker lock(&mutex_);
    shown_.push_back({Shown::AbortRetryIgnore, text});
    if (abortRetryIgnore_.empty()) {
        return Answer::Abort;
    }
    const Answer answer = abortRetryIgnore_.front();
    abortRetryIgnore_.pop_front();
    return answer;
}

bool ScriptedDialogs::askYesNo(const QString& text) {
    const QMutexLocker lock(&mutex_);
    shown_.push_back({Shown::YesNo, text});
    if (yesNo_.empty()) {
        return false;
    }
    const bool yes = yesNo_.front();
    yesNo_.pop_front();
    return yes;
}

QStringList ScriptedDialogs::getOpenFileNames(const OpenFileRequest& request) {
    const QMutexLocker lock(&mutex_);
    shown_.push_back(
        {Shown::OpenFiles,
         QStringList{request.filterName, request.patterns.join(u';'), request.defaultSuffix,
                     QLatin1String(request.multiple ? "multiple" : "single"), request.folder}
             .join(u'|')});
    if (openFiles_.empty()) {
        return {};
    }
    QStringList files = openFiles_.front();
    openFiles_.pop_front();
    return files;
}

std::optional<platform::Dialogs::Credentials> ScriptedDialogs::askCredentials(
    const CredentialsRequest& request) {
    const QMutexLocker lock(&mutex_);
    shown_.push_back(
        {Shown::AskCredentials,
         QStringList{QLatin1String(request.proxy ? "proxy" : "server"), request.site, request.realm}
             .join(u'|')});
    if (credentials_.empty()) {
        return std::nullopt;
    }
    std::optional<Credentials> answer = credentials_.front();
    credentials_.pop_front();
    return answer;
}

void ScriptedDialogs::clear() {
    const QMutexLocker lock(&mutex_);
    shown_.clear();
    abortRetryIgnore_.clear();
    yesNo_.clear();
    openFiles_.clear();
    credentials_.clear();
}

int ScriptedDialogs::count(Shown::Kind kind) const {
    const QMutexLocker lock(&mutex_);
    return static_cast<int>(std::count_if(shown_.begin(), shown_.end(),
                                          [kind](const Shown& s) { return s.kind == kind; }));
}

QStringList ScriptedDialogs::errors() const {
    const QMutexLocker lock(&mutex_);
    QStringList texts;
    for (const Shown& s : shown_) {
        if (s.kind == Shown::Error) {
            texts << s.text;
        }
    }
    return texts;
}

}  // namespace testing_support
