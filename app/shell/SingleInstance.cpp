#include "app/shell/SingleInstance.h"

#include "core/Log.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray activateRequest = QByteArrayLiteral("activate\n");
// Requests are one short line; anything longer is not from us.
constexpr qint64 maxRequestLength = 64;

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

SingleInstance::SingleInstance(QString socketPath, QObject *parent)
    : QObject(parent), m_socketPath(std::move(socketPath))
{
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close(); // removes the socket file
    if (m_lockFd >= 0)
        ::close(m_lockFd); // releases the lock
}

QString SingleInstance::defaultSocketPath()
{
    const QString name = QStringLiteral("veloran-%1.socket").arg(::getuid());
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return QDir(runtime).filePath(name);
    return QDir(QDir::tempPath()).filePath(name);
}

QString SingleInstance::refusalReason(const QString &path)
{
    struct stat st = {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT ? QString() : errnoText();
    if (st.st_uid != ::getuid())
        return QStringLiteral("owned by user %1").arg(st.st_uid);
    if (!S_ISSOCK(st.st_mode))
        return QStringLiteral("not a socket");
    return {};
}

bool SingleInstance::isListening() const
{
    return m_server && m_server->isListening();
}

SingleInstance::Claim SingleInstance::claim()
{
    if (m_lockFd >= 0)
        return Claim::Primary;
    const int fd = ::open(QFile::encodeName(lockPath()).constData(),
                          O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        Log::app().error(QStringLiteral("single instance: cannot open %1: %2").arg(lockPath(), errnoText()));
        return Claim::Unavailable;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || st.st_uid != ::getuid() || !S_ISREG(st.st_mode)) {
        ::close(fd);
        Log::app().error(QStringLiteral("single instance: %1 is not this user's file; refusing it").arg(lockPath()));
        return Claim::Unavailable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        if (!taken)
            Log::app().error(QStringLiteral("single instance: cannot lock %1: %2").arg(lockPath(), errnoText()));
        ::close(fd);
        if (!taken)
            return Claim::Unavailable;
        askRunningInstance();
        return Claim::AnotherRuns;
    }
    m_lockFd = fd;
    listen();
    return Claim::Primary;
}

void SingleInstance::askRunningInstance()
{
    const QString why = refusalReason(m_socketPath);
    if (!why.isEmpty()) {
        Log::app().error(QStringLiteral("single instance: not talking to %1 (%2)").arg(m_socketPath, why));
        return;
    }
    // The holder of the lock may be starting up and not listen yet.
    const QDeadlineTimer deadline(2000);
    do {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(500)) {
            socket.write(activateRequest);
            socket.waitForBytesWritten(1000);
            return;
        }
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    Log::app().error(QStringLiteral("single instance: the running instance does not answer on %1").arg(m_socketPath));
}

void SingleInstance::listen()
{
    const QString why = refusalReason(m_socketPath);
    if (!why.isEmpty()) {
        Log::app().error(QStringLiteral("single instance: refusing %1 (%2); later starts cannot reach this one")
                             .arg(m_socketPath, why));
        return;
    }
    // Holding the lock, any socket left here belongs to a process that is gone.
    if (QFile::exists(m_socketPath)) {
        Log::app().info(QStringLiteral("single instance: replacing the stale socket %1").arg(m_socketPath));
        QLocalServer::removeServer(m_socketPath);
    }
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    if (!m_server->listen(m_socketPath)) {
        Log::app().error(QStringLiteral("single instance: cannot listen on %1: %2")
                             .arg(m_socketPath, m_server->errorString()));
        return;
    }
    // Qt leaves the user's execute bit on, which means nothing for a socket.
    ::chmod(QFile::encodeName(m_socketPath).constData(), 0600);
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket *peer = m_server->nextPendingConnection()) {
        // Qt hands over what a short-lived client wrote before it reports the disconnection.
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] { readRequests(peer); });
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
    }
}

void SingleInstance::readRequests(QLocalSocket *peer)
{
    while (peer->canReadLine()) {
        if (peer->readLine(maxRequestLength) == activateRequest)
            emit activationRequested();
    }
    if (peer->bytesAvailable() >= maxRequestLength)
        peer->abort();
}
