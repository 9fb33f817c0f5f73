#pragma once

#include <QString>
#include <atomic>
#include <functional>
#include <vector>

#include "formats/formatsrecord.h"
#include "upload/sendfiles.h"

class TForm3;
namespace order {
class OrderTable;
}
namespace platform {
class Dialogs;
class UrlOpener;
}  // namespace platform

// What the upload worker has the user-interface thread do for it: read the order and
// move its cursor, show the progress, and finish (the session page opened, the order
// emptied but for the rows not sent, which are named). Every call but GetNewSession
// runs on the user-interface thread (TSendFilesTask brings it there).
class OrderUploadSteps final : public upload::SendHost {
public:
    struct Services {
        order::OrderTable& order;
        const formats::TFormats& formats;
        TForm3& progress;
        platform::UrlOpener& urls;
        platform::Dialogs& dialogs;
        QString serviceHost;
        // The list in editing mode again, or not.
        std::function<void(bool editing)> setListEditing;
        // A new session from the lab (on the worker's thread).
        std::function<QString(const std::atomic<bool>& stop)> newSession;
    };

    explicit OrderUploadSteps(Services services) : s_(std::move(services)) {}

    int rowCount() override;
    void FirstRecord() override;
    upload::SendRow currentRow() override;
    upload::SendRow rowAt(int index) override;
    void UpdateProgress(const upload::SendProgress& progress) override;
    void NextRecord() override;
    void SendFinished(const QString& session, const std::vector<upload::NotSent>& notSent) override;
    QString GetNewSession(const std::atomic<bool>& stop) override;
    void focusProgress() override;

private:
    Services s_;
};

// Empties the order but for the rows not sent (positions as the run found them), which
// the customer may send again; the cursor ends on the first row.
void keepOnlyRowsNotSent(order::OrderTable& table, const std::vector<upload::NotSent>& notSent);
