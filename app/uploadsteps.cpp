#include "app/uploadsteps.h"

#include "order/ordertable.h"
#include "order/resolution.h"
#include "platform/dialogs.h"
#include "platform/urlopener.h"
#include "service/sessions.h"
#include "upload/progress.h"
#include "upload/uploadmessages.h"

namespace {

upload::SendRow sendRow(const order::OrderRow& row, const formats::TFormats& formats) {
    upload::SendRow send{row.file,  row.count, row.format, row.param,
                         row.paper, row.width, row.height, std::nullopt};
    // The catalogue's first entry of that name, as the pick list's position gives it.
    if (const formats::TFormatsRecord* format = order::findFormat(formats, row.format)) {
        send.record = *format;
    }
    return send;
}

}  // namespace

int OrderUploadSteps::rowCount() {
    return s_.order.rowCount();
}

void OrderUploadSteps::FirstRecord() {
    s_.order.first();
}

upload::SendRow OrderUploadSteps::currentRow() {
    return sendRow(s_.order.current(), s_.formats);
}

upload::SendRow OrderUploadSteps::rowAt(int index) {
    return index >= 0 && index < s_.order.rowCount() ? sendRow(s_.order.row(index), s_.formats)
                                                     : upload::SendRow{};
}

void OrderUploadSteps::UpdateProgress(const upload::SendProgress& progress) {
    s_.progress.UpdateProgress(progress);
}

void OrderUploadSteps::NextRecord() {
    s_.order.next();
}

void OrderUploadSteps::SendFinished(const QString& session,
                                    const std::vector<upload::NotSent>& notSent) {
    const QString link = service::sessionPageAddress(s_.serviceHost, session);
    s_.progress.showFinished(link);
    s_.urls.openUrl(link);
    keepOnlyRowsNotSent(s_.order, notSent);
    s_.setListEditing(true);
    s_.order.refresh();
    if (!notSent.empty()) {
        s_.dialogs.showError(upload::messages::notSent(notSent));
    }
}

QString OrderUploadSteps::GetNewSession(const std::atomic<bool>& stop) {
    return s_.newSession(stop);
}

void OrderUploadSteps::focusProgress() {
    s_.progress.activateWindow();
}

void keepOnlyRowsNotSent(order::OrderTable& table, const std::vector<upload::NotSent>& notSent) {
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
