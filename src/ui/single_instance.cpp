#include "ui/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <memory>

#include <unistd.h>

namespace quandor::ui {

namespace {

// A request: "zeigen", then one line per handed-over file ("datei " + path),
// then an empty line. The answer: "ok".
const QByteArray kShow = "zeigen\n";
const QByteArray kFile = "datei ";
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

bool SingleInstance::activate(const QString& folder, const QStringList& files, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName(folder));
    if (!socket.waitForConnected(timeoutMs)) return false;
    QByteArray request = kShow;
    for (const QString& file : files)
        if (!file.contains(QLatin1Char('\n'))) request += kFile + file.toUtf8() + '\n';
    request += '\n';
    socket.write(request);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(timeoutMs)) answer += socket.readAll();
    return answer == kAnswer;
}

bool SingleInstance::listen(const QString& folder, std::function<void(const QStringList&)> show) {
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
            auto buffer = std::make_shared<QByteArray>();
            connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
                *buffer += socket->readAll();
                if (buffer->size() > 1024 * 1024) {  // no request is this long
                    socket->abort();
                    return;
                }
                if (!buffer->startsWith(kShow) || !buffer->endsWith("\n\n")) return;
                QStringList files;
                for (const QByteArray& line : buffer->split('\n'))
                    if (line.startsWith(kFile)) files << QString::fromUtf8(line.mid(kFile.size()));
                buffer->clear();
                socket->write(kAnswer);
                socket->flush();
                if (show_) show_(files);
            });
        }
    });
    return true;
}

}  // namespace quandor::ui
