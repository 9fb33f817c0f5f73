#pragma once

#include <QThread>
#include <memory>

#include "upload/sendfiles.h"

// The upload worker: runs an upload (upload::SendRun) on a thread of its own at a
// priority below normal. Its host's calls run on the thread of the context object (the
// user-interface thread) while the worker waits; GetNewSession runs on the worker.
// finished() comes when the run has returned; the owner deletes the task after that.
class TSendFilesTask : public QThread {
    Q_OBJECT

public:
    // host and context must outlive the task; host is used on context's thread only.
    TSendFilesTask(upload::SendHost& host, const upload::SendServices& services, QObject* context);
    ~TSendFilesTask() override;

    // Any thread: ends the request under way within about a second.
    void requestStop() { run_.requestStop(); }
    bool stopRequested() const { return run_.stopRequested(); }
    const QString& Session() const { return run_.Session(); }

protected:
    void run() override;

private:
    class UiHost;
    std::unique_ptr<UiHost> uiHost_;
    upload::SendRun run_;
};
