#pragma once

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>

#include "platform/processlock.h"

// One program per user. The first start takes a lock file in the private working folder
// for its whole life (platform::ProcessLock) and at once listens on a socket beside it; a later
// start hands its photos over there and ends, so two processes never write one order. A hand-over
// is answered as soon as it has arrived, whatever the program is doing (a start-up message, a
// format download); its photos are given to the program when it can take them (no modal window up).
// User-interface thread.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // What a hand-over may cost the program that answers it.
    struct Limits {
        int connections = 8;                          // at once; more are closed unread
        qsizetype messageBytes = 4 * 1024 * 1024;     // one start's photo list
        std::chrono::milliseconds idle{10000};        // a message not whole by then is dropped
        std::chrono::milliseconds answerWait{10000};  // how long a later start waits
    };

    explicit SingleInstance(QString socketPath);
    SingleInstance(QString socketPath, Limits limits);
    ~SingleInstance() override;

    enum class Claim {
        First,       // no other program lives: this start is the program, and listens
        HandedOver,  // a running program took the photos
        NoAnswer,    // a program lives but did not take them
    };
    // Claims the instance, or hands the photos to the program that has it.
    Claim claim(const QStringList& photos);

    // From now on, photos handed over are given to deliver whenever canTake says yes
    // (looked at again every tenth of a second while some wait).
    void deliverTo(std::function<bool()> canTake, std::function<void(const QStringList&)> deliver);

    // How many hand-over connections are open now.
    int openConnections() const { return open_; }

    // The photos named on a command line, as absolute paths.
    static QStringList photosOf(const QStringList& arguments);
    // What a start tells the user when a program lives but did not take its photos.
    static QString noAnswerMessage();

private:
    bool handOver(const QStringList& photos, const QDeadlineTimer& deadline);
    void listen();
    void serve(QLocalSocket* socket);
    void deliverWaiting();

    QString socketPath_;
    Limits limits_;
    std::unique_ptr<platform::ProcessLock> lock_;
    QLocalServer server_;
    int open_ = 0;
    std::deque<QStringList> waiting_;
    QTimer retry_;
    std::function<bool()> canTake_;
    std::function<void(const QStringList&)> deliver_;
};
