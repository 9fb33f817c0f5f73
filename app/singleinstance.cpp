#include "app/singleinstance.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>

#include "app/log.h"

namespace {

// The photos as one message: UTF-8 paths, each ended by a line break, then an empty
// line; the answer is "ok" and a line break once the message has arrived whole.
bool whole(const QByteArray& message) {
    return message == "\n" || message.endsWith("\n\n");
}

}  // namespace

SingleInstance::SingleInstance(QString socketPath)
    : SingleInstance(std::move(socketPath), Limits()) {}

SingleInstance::SingleInstance(QString socketPath, Limits limits)
    : socketPath_(std::move(socketPath)), limits_(limits) {
    retry_.setInterval(100);
    connect(&retry_, &QTimer::timeout, this, &SingleInstance::deliverWaiting);
}

SingleInstance::~SingleInstance() {
    // The connections go before the counter they keep.
    server_.close();
    qDeleteAll(server_.findChildren<QLocalSocket*>(Qt::FindDirectChildrenOnly));
}

QString SingleInstance::noAnswerMessage() {
    return QStringLiteral(
        "Программа уже запущена, но не отвечает.\r\n"
        "Дождитесь её окна или закройте её, затем запустите программу снова.");
}

QStringList SingleInstance::photosOf(const QStringList& arguments) {
    QStringList photos;
    for (const QString& argument : arguments) {
        if (!argument.startsWith(u'-')) {
            photos << QFileInfo(argument).absoluteFilePath();
        }
    }
    return photos;
}

SingleInstance::Claim SingleInstance::claim(const QStringList& photos) {
    lock_ = std::make_unique<platform::ProcessLock>(socketPath_ + QStringLiteral(".lock"));
    const QDeadlineTimer deadline(limits_.answerWait);
    for (;;) {
        const platform::ProcessLock::Result lock = lock_->tryLock();
        if (lock == platform::ProcessLock::Result::Taken) {
            listen();
            return Claim::First;
        }
        const bool held = lock == platform::ProcessLock::Result::HeldElsewhere;
        // Another program may live: it listens as soon as it has the lock.
        if (handOver(photos, deadline)) {
            return Claim::HandedOver;
        }
        if (!held) {
            // No lock can be made here at all, and nobody answers: run, as a program
            // without a claim would.
            qCWarning(lcApp) << "no lock file can be made beside" << socketPath_;
            lock_.reset();
            listen();
            return Claim::First;
        }
        if (deadline.hasExpired()) {
            qCWarning(lcApp) << "a program is running but did not take the photos";
            return Claim::NoAnswer;
        }
        QThread::msleep(100);
    }
}

bool SingleInstance::handOver(const QStringList& photos, const QDeadlineTimer& deadline) {
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
        return false;
    }
    QByteArray message;
    for (const QString& photo : photos) {
        message += photo.toUtf8() + '\n';
    }
    message += '\n';
    socket.write(message);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
            return false;
        }
    }
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            return false;
        }
    }
    return socket.readLine() == "ok\n";
}

void SingleInstance::listen() {
    // Only the owner can reach it: the socket lies in the private working folder. With
    // the lock held, a socket file there is one a killed program left.
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(socketPath_);
    if (!server_.listen(socketPath_)) {
        qCWarning(lcApp) << "later starts cannot hand over their photos:" << server_.errorString();
        return;
    }
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            serve(socket);
        }
    });
}

void SingleInstance::serve(QLocalSocket* socket) {
    if (open_ >= limits_.connections) {
        socket->abort();  // no start waits on so many others
        socket->deleteLater();
        return;
    }
    ++open_;
    connect(socket, &QObject::destroyed, this, [this] { --open_; });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // A message that is not whole in time is not coming.
    auto* idle = new QTimer(socket);
    idle->setSingleShot(true);
    connect(idle, &QTimer::timeout, socket, [socket] {
        qCWarning(lcApp) << "a hand-over that did not come whole was dropped";
        socket->abort();
    });
    idle->start(limits_.idle);
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer, idle] {
        *buffer += socket->readAll();
        if (buffer->size() > limits_.messageBytes) {
            qCWarning(lcApp) << "a hand-over past" << limits_.messageBytes << "bytes was dropped";
            socket->abort();
            return;
        }
        if (!whole(*buffer)) {
            return;
        }
        idle->stop();
        QStringList photos;
        for (const QByteArray& line : buffer->split('\n')) {
            if (!line.isEmpty()) {
                photos << QString::fromUtf8(line);
            }
        }
        buffer->clear();
        // Answered at once; the photos wait until the program can take them.
        socket->write("ok\n");
        socket->flush();
        waiting_.push_back(std::move(photos));
        QTimer::singleShot(0, this, &SingleInstance::deliverWaiting);
    });
}

void SingleInstance::deliverTo(std::function<bool()> canTake,
                               std::function<void(const QStringList&)> deliver) {
    canTake_ = std::move(canTake);
    deliver_ = std::move(deliver);
    deliverWaiting();
}

void SingleInstance::deliverWaiting() {
    if (!deliver_) {
        return;  // the program is not there yet
    }
    while (!waiting_.empty()) {
        if (canTake_ && !canTake_()) {
            retry_.start();
            return;
        }
        // Taken off first: a delivery may show a window whose loop comes back here.
        const QStringList photos = std::move(waiting_.front());
        waiting_.pop_front();
        deliver_(photos);
    }
    retry_.stop();
}
