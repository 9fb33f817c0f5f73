#include "platform/qtdialogs.h"

#include <QMessageBox>

namespace platform {

int QtDialogs::exec(int icon, const QString& text, int buttons) {
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), title_, text,
                    static_cast<QMessageBox::StandardButtons>(buttons));
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec();
}

void QtDialogs::showError(const QString& text) {
    exec(QMessageBox::Critical, text, QMessageBox::Ok);
}

Dialogs::Answer QtDialogs::askAbortRetryIgnore(const QString& text) {
    switch (exec(QMessageBox::Critical, text,
                 QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore)) {
        case QMessageBox::Retry:
            return Answer::Retry;
        case QMessageBox::Ignore:
            return Answer::Ignore;
        default:  // closing the box counts as Abort
            return Answer::Abort;
    }
}

bool QtDialogs::askYesNo(const QString& text) {
    return exec(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

}  // namespace platform
