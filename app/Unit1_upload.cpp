// The main window's part of the upload: the send and cancel commands, and the
// worker's start and end (the steps it has this thread run are OrderUploadSteps).
#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QTableView>

#include "app/Unit1.h"
#include "app/log.h"
#include "app/uploadsteps.h"
#include "images/prepare.h"
#include "order/orderlistmodel.h"
#include "upload/progress.h"
#include "upload/sendtask.h"

TForm1::~TForm1() {
    stopUpload();
    StopBannerFetch();
    // The state outlives this window: its notices must not reach it any more.
    Data.disconnect(this);
}

void TForm1::setProgressWindow(TForm3* progress) {
    progressWindow_ = progress;
    uploadSteps_ = std::make_unique<OrderUploadSteps>(OrderUploadSteps::Services{
        Data, Formats, *progress, services_.urls, dialogs_, services_.serviceHost,
        [this](bool editing) { SetListEditing(editing); },
        [this](const std::atomic<bool>& stop) { return GetNewSession(&stop); }});
    connect(progress, &TForm3::FormActivate, this,
            [this] { runHandler(&TForm1::StartSendThread); });
    connect(progress, &TForm3::cancelRequested, actCancelProgress, &QAction::trigger);
}

void TForm1::actSendExecute() {
    if (Data.rowCount() == 0 || progressWindow_ == nullptr || SendTask != nullptr) {
        return;
    }
    progressWindow_->showOver(this);
    progressWindow_->resetForNextUpload();
}

void TForm1::StartSendThread() {
    if (SendTask != nullptr) {
        return;  // one worker for each showing of the window
    }
    auto* task =
        new TSendFilesTask(*uploadSteps_,
                           upload::SendServices{services_.http, dialogs_, &images::preparePrint,
                                                services_.serviceHost, services_.serviceWebAddress},
                           this);
    SendTask = task;
    state_.Sending = true;
    connect(task, &QThread::finished, this, &TForm1::SendTerminated);
    // No red rows while the run lasts, and the list in whole-row selection.
    model_->setWarningsShown(false);
    SetListEditing(false);
    DBGrid1->clearSelection();
    qCDebug(lcApp) << "upload started with" << Data.rowCount() << "rows";
    task->start();
}

void TForm1::SendTerminated() {
    state_.Sending = false;
    if (SendTask == nullptr || !SendTask->stopRequested()) {
        return;  // SendFinished has shown the end
    }
    progressWindow_->showAborted();
    // The list may be edited again (the run changed nothing in it).
    SetListEditing(true);
}

void TForm1::actCancelProgressExecute() {
    if (SendTask != nullptr && SendTask->isRunning() && !SendTask->stopRequested()) {
        SendTask->requestStop();
    }
    if (state_.Sending) {
        return;
    }
    if (progressWindow_ != nullptr) {
        progressWindow_->closeWindow();
    }
    delete SendTask;
    SendTask = nullptr;
    model_->setWarningsShown(true);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (SendTask != nullptr) {
        stopUpload();
        progressWindow_->closeWindow();
    }
    QWidget::closeEvent(event);
}

void TForm1::stopUpload() {
    if (SendTask == nullptr) {
        return;
    }
    SendTask->requestStop();
    // The worker may be waiting for this thread: keep serving it until it has ended.
    while (!SendTask->wait(20)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    delete SendTask;
    SendTask = nullptr;
    state_.Sending = false;
    model_->setWarningsShown(true);
}
