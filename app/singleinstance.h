#pragma once

#include <QLocalServer>
#include <QObject>
#include <QStringList>
#include <functional>

// One program per user: the first program listens on a socket in the private working
// folder; a later start hands its photos to it there and ends, so two processes never
// write one order. User-interface thread.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(QString socketPath, QObject* parent = nullptr);

    // Hands the photos to a program already running, waiting for it to take them;
    // false when none answers (this start is then the first).
    bool handOver(const QStringList& photos);
    // Starts answering later starts: each hands over its photos, given to received on
    // this thread. False (and a warning) when the socket cannot be made.
    bool listen(std::function<void(const QStringList&)> received);

    // The photos named on a command line, as absolute paths.
    static QStringList photosOf(const QStringList& arguments);

private:
    void serve(QLocalSocket* socket);

    QString socketPath_;
    QLocalServer server_;
    std::function<void(const QStringList&)> received_;
};
