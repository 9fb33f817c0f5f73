#include "app/singleinstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

#include "app/log.h"

namespace {

// The photos as one message: UTF-8 paths, each ended by a line break, then an empty
// line; the answer is "ok" and a line break once they were added.
constexpr int kWaitMs = 10000;
constexpr qsizetype kMaxMessage = 4 * 1024 * 1024;

}  // namespace

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath)) {}

QStringList SingleInstance::photosOf(const QStringList& arguments) {
    QStringList photos;
    for (const QString& argument : arguments) {
        if (!argument.startsWith(u'-')) {
            photos << QFileInfo(argument).absoluteFilePath();
        }
    }
    return photos;
}

bool SingleInstance::handOver(const QStringList& photos) {
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(kWaitMs)) {
        return false;
    }
    QByteArray message;
    for (const QString& photo : photos) {
        message += photo.toUtf8() + '\n';
    }
    message += '\n';
    socket.write(message);
    if (!socket.waitForBytesWritten(kWaitMs)) {
        return false;
    }
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(kWaitMs)) {
            return false;
        }
    }
    return socket.readLine() == "ok\n";
}

bool SingleInstance::listen(std::function<void(const QStringList&)> received) {
    received_ = std::move(received);
    // Only the owner can reach it: the socket lies in the private working folder.
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(socketPath_)) {
        // A socket left by a program that was killed: nobody answered on it.
        QLocalServer::removeServer(socketPath_);
        if (!server_.listen(socketPath_)) {
            qCWarning(lcApp) << "later starts cannot hand over their photos:"
                             << server_.errorString();
            return false;
        }
    }
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            serve(socket);
        }
    });
    return true;
}

void SingleInstance::serve(QLocalSocket* socket) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto* buffer = new QByteArray;
    connect(socket, &QObject::destroyed, [buffer] { delete buffer; });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
        *buffer += socket->readAll();
        if (buffer->size() > kMaxMessage) {
            socket->abort();  // no start names that many photos
            return;
        }
        if (!buffer->endsWith("\n\n") && *buffer != "\n") {
            return;
        }
        QStringList photos;
        for (const QByteArray& line : buffer->split('\n')) {
            if (!line.isEmpty()) {
                photos << QString::fromUtf8(line);
            }
        }
        buffer->clear();
        received_(photos);
        socket->write("ok\n");
        socket->flush();
    });
}
