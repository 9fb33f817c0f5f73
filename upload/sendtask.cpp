#include "upload/sendtask.h"

#include "platform/threadpriority.h"
#include "upload/log.h"

// The host's calls made on the worker, each run on the context's thread while the
// worker waits for it.
class TSendFilesTask::UiHost final : public upload::SendHost {
public:
    UiHost(upload::SendHost& inner, QObject* context) : inner_(inner), context_(context) {}

    int rowCount() override {
        return there([this] { return inner_.rowCount(); });
    }
    void FirstRecord() override {
        there([this] {
            inner_.FirstRecord();
            return 0;
        });
    }
    upload::SendRow currentRow() override {
        return there([this] { return inner_.currentRow(); });
    }
    upload::SendRow rowAt(int index) override {
        return there([this, index] { return inner_.rowAt(index); });
    }
    void UpdateProgress(const upload::SendProgress& progress) override {
        there([&] {
            inner_.UpdateProgress(progress);
            return 0;
        });
    }
    void NextRecord() override {
        there([this] {
            inner_.NextRecord();
            return 0;
        });
    }
    void SendFinished(const QString& session,
                      const std::vector<upload::NotSent>& notSent) override {
        there([&] {
            inner_.SendFinished(session, notSent);
            return 0;
        });
    }
    QString GetNewSession(const std::atomic<bool>& stop) override {
        return inner_.GetNewSession(stop);
    }
    void focusProgress() override {
        there([this] {
            inner_.focusProgress();
            return 0;
        });
    }

private:
    template <typename F>
    auto there(F&& step) -> decltype(step()) {
        decltype(step()) result{};
        QMetaObject::invokeMethod(
            context_, [&] { result = step(); }, Qt::BlockingQueuedConnection);
        return result;
    }

    upload::SendHost& inner_;
    QObject* context_;
};

TSendFilesTask::TSendFilesTask(upload::SendHost& host, const upload::SendServices& services,
                               QObject* context)
    : uiHost_(std::make_unique<UiHost>(host, context)), run_(*uiHost_, services) {
    setObjectName(QStringLiteral("TSendFilesTask"));
}

TSendFilesTask::~TSendFilesTask() {
    requestStop();
    wait();
}

void TSendFilesTask::run() {
    // One step below normal, as the worker of a desktop program should run.
    if (!platform::lowerThisThreadsPriority()) {
        qCDebug(lcUpload) << "the worker's priority stays as it was";
    }
    run_.StartSend();
}
