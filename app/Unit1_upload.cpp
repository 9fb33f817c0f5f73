// The main window's part of the upload: the send and cancel commands, the worker's
// start and end, and the steps the worker has this thread run for it.
#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QTableView>

#include "app/Unit1.h"
#include "app/log.h"
#include "images/prepare.h"
#include "order/orderlistmodel.h"
#include "order/resolution.h"
#include "platform/dialogs.h"
#include "platform/urlopener.h"
#include "service/sessions.h"
#include "upload/progress.h"
#include "upload/sendtask.h"
#include "upload/uploadmessages.h"

// What the worker has the user-interface thread do: read the order, move its cursor,
// show the progress, and finish.
class TForm1::UploadSteps final : public upload::SendHost {
public:
    explicit UploadSteps(TForm1& form) : form_(form) {}

    int rowCount() override { return form_.Data.rowCount(); }
    void FirstRecord() override { form_.Data.first(); }
    upload::SendRow currentRow() override { return sendRow(form_.Data.current()); }
    upload::SendRow rowAt(int index) override {
        return index >= 0 && index < form_.Data.rowCount() ? sendRow(form_.Data.row(index))
                                                           : upload::SendRow{};
    }
    upload::SendRow sendRow(const order::OrderRow& row) {
        upload::SendRow send{row.file,  row.count, row.format, row.param,
                             row.paper, row.width, row.height, std::nullopt};
        // The catalogue's first entry of that name, as the pick list's position gives it.
        if (const formats::TFormatsRecord* format = order::findFormat(form_.Formats, row.format)) {
            send.record = *format;
        }
        return send;
    }
    void UpdateProgress(const upload::SendProgress& progress) override {
        form_.progressWindow_->UpdateProgress(progress);
    }
    void NextRecord() override { form_.Data.next(); }
    void SendFinished(const QString& session,
                      const std::vector<upload::NotSent>& notSent) override {
        const QString link = service::sessionPageAddress(form_.services_.serviceHost, session);
        form_.progressWindow_->showFinished(link);
        form_.services_.urls.openUrl(link);
        keepOnly(notSent);
        form_.SetListEditing(true);
        form_.Data.refresh();
        if (!notSent.empty()) {
            form_.dialogs_.showError(upload::messages::notSent(notSent));
        }
    }
    // Empties the order but for the rows not sent, which the customer may send again.
    void keepOnly(const std::vector<upload::NotSent>& notSent) {
        order::OrderTable& table = form_.Data;
        if (notSent.empty()) {
            table.empty();
            return;
        }
        std::vector<bool> keep(static_cast<size_t>(table.rowCount()), false);
        for (const upload::NotSent& row : notSent) {
            if (row.position >= 0 && row.position < table.rowCount()) {
                keep[static_cast<size_t>(row.position)] = true;
            }
        }
        // Runs of rows to remove, from the end, so positions before them stay.
        for (int to = table.rowCount() - 1; to >= 0;) {
            if (keep[static_cast<size_t>(to)]) {
                --to;
                continue;
            }
            int from = to;
            while (from > 0 && !keep[static_cast<size_t>(from - 1)]) {
                --from;
            }
            table.deleteRows(from, to);
            to = from - 1;
        }
        table.first();
    }
    QString GetNewSession(const std::atomic<bool>& stop) override {
        return form_.GetNewSession(&stop);
    }
    void focusProgress() override { form_.progressWindow_->activateWindow(); }

private:
    TForm1& form_;
};

void TForm1::UploadStepsDeleter::operator()(UploadSteps* steps) const {
    delete steps;
}

TForm1::~TForm1() {
    stopUpload();
    StopBannerFetch();
    // The state outlives this window: its notices must not reach it any more.
    Data.disconnect(this);
}

void TForm1::setProgressWindow(TForm3* progress) {
    progressWindow_ = progress;
    uploadSteps_.reset(new UploadSteps(*this));
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
