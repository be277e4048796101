#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// One running program per user, so that two never write one library. An exclusive lock
// beside the socket decides who is first; the first listens on a user-only local socket,
// and a later start that finds the lock taken asks it there to show itself, then leaves.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        // This process holds the lock. Later starts arrive as activationRequested(), unless
        // the socket path had to be refused (isListening() is then false).
        Primary,
        // Another instance holds the lock and was asked to show itself: exit with 0.
        AnotherRuns,
        // The lock file cannot be used safely (not ours, a link, an unwritable folder).
        Unavailable,
    };

    explicit SingleInstance(QString socketPath = defaultSocketPath(), QObject *parent = nullptr);
    ~SingleInstance() override;

    Claim claim();
    bool isListening() const;
    const QString &socketPath() const { return m_socketPath; }
    QString lockPath() const { return m_socketPath + QStringLiteral(".lock"); }

    // $XDG_RUNTIME_DIR/veloran-<uid>.socket, or that name in the temporary folder when the
    // session has no runtime folder.
    static QString defaultSocketPath();
    // Empty when nothing is at the path or it is a socket of this user; otherwise why it
    // must be left alone.
    static QString refusalReason(const QString &path);

signals:
    void activationRequested();

private:
    bool takeLock();
    void askRunningInstance();
    void listen();
    void acceptConnections();
    void readRequests(QLocalSocket *peer);

    QString m_socketPath;
    int m_lockFd = -1;
    QLocalServer *m_server = nullptr;
};
