#include "platform/qtdialogs.h"

#include <QRegularExpression>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QThread>

namespace platform {

QString unbrokenAddresses(const QString& text) {
    // A word joiner between the characters of every web address: the box's word wrap
    // then moves an address to the next line whole instead of breaking it after
    // "http://". The characters shown are the same.
    static const QRegularExpression address(QStringLiteral("https?://\\S+"));
    QString shown;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& match : address.globalMatch(text)) {
        shown += QStringView(text).sliced(from, match.capturedStart() - from);
        const QString found = match.captured();
        for (qsizetype i = 0; i < found.size(); ++i) {
            if (i > 0) {
                shown += QChar(0x2060);
            }
            shown += found[i];
        }
        from = match.capturedEnd();
    }
    shown += QStringView(text).sliced(from);
    return shown;
}

QWidget* dialogOwner() {
    // The window that is modal now (the progress window during an upload, the viewer
    // while it is open) owns the box, so a window manager stacks the box above it even
    // when that window stays on top; else the active window, else the first window shown.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && !(window->windowFlags() & Qt::Popup) &&
            window->windowType() != Qt::ToolTip) {
            return window;
        }
    }
    return nullptr;
}

namespace {

// A dialog owned by an always-on-top window is kept on top too, for window managers
// that stack owned windows only within their own layer.
void stayAboveOwner(QWidget& dialog, const QWidget* owner) {
    if (owner != nullptr && (owner->windowFlags() & Qt::WindowStaysOnTopHint)) {
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
}

}  // namespace

int QtDialogs::exec(int icon, const QString& text, int buttons) {
    // Asked from the upload worker: the box comes up on the user-interface thread, and
    // the worker waits for the answer.
    if (QThread::currentThread() != qApp->thread()) {
        int answer = 0;
        QMetaObject::invokeMethod(
            qApp, [&] { answer = exec(icon, text, buttons); }, Qt::BlockingQueuedConnection);
        return answer;
    }
    QWidget* owner = dialogOwner();
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), title_, unbrokenAddresses(text),
                    static_cast<QMessageBox::StandardButtons>(buttons), owner);
    stayAboveOwner(box, owner);
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
    QWidget* owner = dialogOwner();
    QFileDialog dialog(owner);
    stayAboveOwner(dialog, owner);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setNameFilter(request.filterName + QStringLiteral(" (") + request.patterns.join(u' ') +
                         QLatin1Char(')'));
    // The filter shows as its description alone.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.folder.isEmpty()) {
        dialog.setDirectory(request.folder);
    }
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles();
}

std::optional<Dialogs::Credentials> QtDialogs::askCredentials(const CredentialsRequest& request) {
    if (QThread::currentThread() != qApp->thread()) {
        std::optional<Credentials> answer;
        QMetaObject::invokeMethod(
            qApp, [&] { answer = askCredentials(request); }, Qt::BlockingQueuedConnection);
        return answer;
    }
    QWidget* owner = dialogOwner();
    QDialog dialog(owner);
    stayAboveOwner(dialog, owner);
    dialog.setWindowTitle(title_);
    dialog.setWindowModality(Qt::ApplicationModal);
    auto* layout = new QFormLayout(&dialog);
    const QString who = request.proxy ? QStringLiteral("Прокси-сервер %1").arg(request.site)
                                      : QStringLiteral("Сервер %1").arg(request.site);
    auto* intro = new QLabel(
        who + QStringLiteral(" требует имя пользователя и пароль.") +
        (request.realm.isEmpty() ? QString() : QStringLiteral("\nОбласть: %1").arg(request.realm)));
    intro->setWordWrap(true);
    layout->addRow(intro);
    auto* user = new QLineEdit;
    user->setObjectName(QStringLiteral("user"));
    auto* password = new QLineEdit;
    password->setObjectName(QStringLiteral("password"));
    password->setEchoMode(QLineEdit::Password);
    layout->addRow(QStringLiteral("Имя пользователя:"), user);
    layout->addRow(QStringLiteral("Пароль:"), password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return Credentials{user->text(), password->text()};
}

}  // namespace platform
