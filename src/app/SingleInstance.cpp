#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace velmora::app {

namespace {
const QByteArray kActivate = "activate\n";
const QByteArray kDone = "ok\n";

bool askRunningCopy(const QString& name) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(1000))
        return false;
    socket.write(kActivate);
    socket.waitForBytesWritten(1000);
    // Wait until the running copy has handled the request.
    socket.waitForReadyRead(3000);
    return true;
}
}  // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent), name_(key) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverNameFor(const QString& programFolder) {
    // The user id, not $USER, which may be unset; the folder tells installations apart.
    const QByteArray folderHash =
        QCryptographicHash::hash(programFolder.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return QStringLiteral("velmora-%1-%2").arg(::getuid()).arg(QString::fromLatin1(folderHash));
}

bool SingleInstance::isRunning(const QString& name) {
    QLocalSocket socket;
    socket.connectToServer(name);
    const bool running = socket.waitForConnected(1000);
    socket.abort();
    return running;
}

bool SingleInstance::claim() {
    // Ask first: listening with access options replaces an existing socket silently.
    if (askRunningCopy(name_))
        return false;
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Nobody answered: any socket there was left behind by a copy that was killed.
    QLocalServer::removeServer(name_);
    if (!server_->listen(name_))
        return true;  // run without the hand-over rather than not at all
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                if (s->readAll().contains("activate")) {
                    emit activationRequested();
                    s->write(kDone);
                    s->flush();
                }
            });
        }
    });
    return true;
}

}  // namespace velmora::app
