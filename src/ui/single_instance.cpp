#include "ui/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace quandor::ui {

namespace {

const QByteArray kRequest = "zeigen\n";
const QByteArray kAnswer = "ok\n";

}  // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName(const QString& folder) {
    const QByteArray canonical = QDir(folder).canonicalPath().toUtf8();
    const QByteArray hash =
        QCryptographicHash::hash(canonical.isEmpty() ? folder.toUtf8() : canonical,
                                 QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    return QStringLiteral("quandor-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

bool SingleInstance::activate(const QString& folder, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName(folder));
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(kRequest);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(timeoutMs)) answer += socket.readAll();
    return answer == kAnswer;
}

bool SingleInstance::listen(const QString& folder, std::function<void()> show) {
    show_ = std::move(show);
    delete server_;
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = serverName(folder);
    // This program holds the folder's lock, so a socket of that name can only
    // be left over from a program that ended without cleaning up.
    QLocalServer::removeServer(name);
    if (!server_->listen(name)) return false;
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->readAll().contains('\n')) return;
                socket->write(kAnswer);
                socket->flush();
                if (show_) show_();
            });
        }
    });
    return true;
}

}  // namespace quandor::ui
