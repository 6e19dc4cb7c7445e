#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QLoggingCategory>
#include <QThread>
#include <QWidget>

namespace {

Q_LOGGING_CATEGORY(lcInstance, "halvo_pultorium.instance", QtWarningMsg)

const QByteArray kActivate = QByteArrayLiteral("activate\n");
const QByteArray kAcknowledged = QByteArrayLiteral("ok\n");

// The first instance takes the lock a moment before it listens; a later start waits that long for it.
constexpr int kHandOverMilliseconds = 5000;
constexpr int kAttemptMilliseconds = 1000;
constexpr int kRetryPauseMilliseconds = 50;

} // namespace

SingleInstance::SingleInstance(QString dataFolder, QObject* parent)
    : QObject(parent)
    , m_folder(std::move(dataFolder)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockFilePath(const QString& dataFolder) {
    return QDir(dataFolder).absoluteFilePath(QStringLiteral("halvo_instance.lock"));
}

QString SingleInstance::serverName(const QString& dataFolder) {
    // Socket paths are short; the folder's digest keeps the name unique per folder and user.
    const QByteArray folder = QDir::cleanPath(QFileInfo(dataFolder).absoluteFilePath()).toUtf8();
    const QByteArray digest = QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(20);
    return QStringLiteral("halvo-pultorium-") + QString::fromLatin1(digest);
}

SingleInstance::Start SingleInstance::start() {
    if (!QDir().mkpath(m_folder)) {
        qCWarning(lcInstance) << "data folder cannot be made:" << m_folder;
        return Start::unguarded;
    }
    m_lock = std::make_unique<QLockFile>(lockFilePath(m_folder));
    // A held lock is never old enough to be taken: only a lock whose process is gone is stale.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        if (!listen())
            qCWarning(lcInstance) << "later starts cannot reach this instance:" << m_server->errorString();
        qCInfo(lcInstance) << "holds" << m_folder;
        return Start::first;
    }
    if (m_lock->error() != QLockFile::LockFailedError) {
        qCWarning(lcInstance) << "lock file cannot be made in" << m_folder;
        m_lock.reset();
        return Start::unguarded;
    }
    m_lock.reset();
    return handOver() ? Start::handedOver : Start::heldElsewhere;
}

bool SingleInstance::listen() {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = serverName(m_folder);
    // A socket left by a killed instance is ours to replace: this process holds the lock.
    QLocalServer::removeServer(name);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine())
                    return;
                if (socket->readLine() == kActivate) {
                    socket->write(kAcknowledged);
                    socket->flush();
                    qCInfo(lcInstance) << "a later start asked for the window";
                    Q_EMIT activationRequested();
                }
                socket->disconnectFromServer();
            });
        }
    });
    return m_server->listen(name);
}

bool SingleInstance::handOver() {
    const QString name = serverName(m_folder);
    const QDeadlineTimer deadline(kHandOverMilliseconds);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (!socket.waitForConnected(kAttemptMilliseconds)) {
            // Not listening yet: the running instance has just taken the lock.
            QThread::msleep(kRetryPauseMilliseconds);
            continue;
        }
        socket.write(kActivate);
        while (!socket.canReadLine() && socket.waitForReadyRead(kAttemptMilliseconds)) {
        }
        if (socket.readLine() == kAcknowledged) {
            qCInfo(lcInstance) << "handed over to the running instance";
            return true;
        }
    }
    qCWarning(lcInstance) << "the instance holding" << m_folder << "did not answer";
    return false;
}

void bringToFront(QWidget* window) {
    window->show();
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->raise();
    window->activateWindow();
}
