#include "platform/qtdialogs.h"

#include <QFileDialog>
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

QStringList QtDialogs::getOpenFileNames(const OpenFileRequest& request) {
    QFileDialog dialog;
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setNameFilter(request.filterName + QStringLiteral(" (") + request.patterns.join(u' ') +
                         QLatin1Char(')'));
    // The filter shows as its description alone.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles();
}

}  // namespace platform
