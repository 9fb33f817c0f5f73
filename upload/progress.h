#pragma once

#include <QDialog>
#include <QImage>

#include "upload/sendfiles.h"

class QLabel;
class QLineEdit;
class QMenu;
class TdwProgressBar;

namespace platform {
class Taskbar;
class UrlOpener;
}  // namespace platform

// The upload progress window: the current row's bar, the whole order's bar (also on
// the taskbar button), a red status text, and at the end the session page's link. Esc,
// its cancel button and the window manager's close all ask for the cancel command; the
// main window decides what that does (stop the worker, or close this window).
// Created once at start-up and shown modally for every upload; lives until the program
// ends. User-interface thread only.
class TForm3 : public QDialog {
    Q_OBJECT

public:
    // picture: the window's artwork, with the cancel button drawn where
    // progressgeometry.h puts the hot area. taskbar may be none.
    TForm3(platform::UrlOpener& urls, platform::Taskbar* taskbar, const QImage& picture,
           QWidget* parent = nullptr);

    // Shows the window modally, centred on the opener; returns when it is closed.
    void showOver(QWidget* opener);
    // Closes the window (the cancel command's last step).
    void closeWindow();

    // What the worker's UpdateProgress shows.
    void UpdateProgress(const upload::SendProgress& progress);
    // The finished state: bars hidden, the taskbar's progress removed, the link shown.
    void showFinished(const QString& link);
    // The aborted state: bars and link hidden, the taskbar's progress removed.
    void showAborted();
    // Ready for the next upload: the link hidden, both bars shown.
    void resetForNextUpload();

    void Edit1Click();
    void N1Click();

Q_SIGNALS:
    // The window became active after being shown (once per showing): the upload starts.
    void FormActivate();
    // Esc, the cancel button or the window manager's close: the cancel command.
    void cancelRequested();

public Q_SLOTS:
    // Esc in a dialog: the cancel command, not a close.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    platform::UrlOpener& urls_;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    TdwProgressBar* ProgressBar1 = nullptr;
    TdwProgressBar* ProgressBar2 = nullptr;
    bool closing_ = false;
};
