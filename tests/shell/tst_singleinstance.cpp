#include "app/shell/SingleInstance.h"
#include "support/Sandbox.h"

#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTest>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A socket file that nobody listens on.
bool makeStaleSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()) + 1);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

struct stat statOf(const QString &path)
{
    struct stat st = {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

bool answers(const QString &path)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    return socket.waitForConnected(1000);
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString socketPath(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

private Q_SLOTS:
    // A stale socket, as a crash leaves it, is replaced.
    void theFirstClaimsListensForUserOnlyAndCleansUp()
    {
        const QString path = socketPath("first");
        QVERIFY(makeStaleSocket(path));
        QVERIFY(!answers(path));
        {
            SingleInstance first(path);
            QCOMPARE(first.claim(), SingleInstance::Claim::Primary);
            QVERIFY(first.isListening() && answers(path));
            QCOMPARE(statOf(first.socketPath()).st_mode & 07777, mode_t(0600));
            QCOMPARE(statOf(first.lockPath()).st_mode & 07777, mode_t(0600));
            QCOMPARE(first.claim(), SingleInstance::Claim::Primary); // asking again changes nothing
        }
        QVERIFY(!QFile::exists(path));
        SingleInstance next(path);
        QCOMPARE(next.claim(), SingleInstance::Claim::Primary);
    }

    // Later starts ask the first to show itself; anything but that request is ignored.
    void aSecondStartHandsOverToTheFirst()
    {
        SingleInstance first(socketPath("handover"));
        QCOMPARE(first.claim(), SingleInstance::Claim::Primary);
        QSignalSpy activation(&first, &SingleInstance::activationRequested);
        QLocalSocket socket;
        socket.connectToServer(first.socketPath());
        QVERIFY(socket.waitForConnected(1000));
        socket.write("activated\n" + QByteArray(200, 'x'));
        QVERIFY(socket.waitForBytesWritten(1000));
        QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState); // an overlong request is cut off
        QCOMPARE(activation.count(), 0);

        SingleInstance second(socketPath("handover"));
        QCOMPARE(second.claim(), SingleInstance::Claim::AnotherRuns);
        QVERIFY(!second.isListening());
        QTRY_COMPARE(activation.count(), 1);

        QCOMPARE(SingleInstance(socketPath("handover")).claim(), SingleInstance::Claim::AnotherRuns);
        QTRY_COMPARE(activation.count(), 2);
        QTRY_VERIFY(first.findChildren<QLocalSocket *>().isEmpty()); // each visitor is let go
    }

    // Only nothing, or a socket of this user, may be taken over; a link is never followed.
    void refusalReasonsAndTheDefaultPath()
    {
        const QString socket = socketPath("reason-socket"), file = socketPath("reason-file");
        const QString folder = socketPath("reason-folder"), link = socketPath("reason-link");
        QVERIFY(makeStaleSocket(socket) && TestFiles::write(file, "") && TestFiles::makeDir(folder));
        QVERIFY(QFile::link(socket, link));
        QVERIFY(SingleInstance::refusalReason(socketPath("reason-absent")).isEmpty());
        QVERIFY(SingleInstance::refusalReason(socket).isEmpty());
        for (const QString &path : {file, folder, link})
            QCOMPARE(SingleInstance::refusalReason(path), QStringLiteral("not a socket"));

        // The default path is in the runtime folder, else in the temporary one.
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        const QString name = QStringLiteral("veloran-%1.socket").arg(::getuid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir.path()));
        QCOMPARE(SingleInstance::defaultSocketPath(), m_dir.filePath(name));
        qunsetenv("XDG_RUNTIME_DIR");
        QCOMPARE(SingleInstance::defaultSocketPath(), QDir(QDir::tempPath()).filePath(name));
        qputenv("XDG_RUNTIME_DIR", saved);
    }

    // A socket path or a lock that is not ours is left alone.
    void pathsThatAreNotOursAreLeftAlone()
    {
        const QString path = socketPath("notours");
        QVERIFY(TestFiles::write(path, "keep"));
        SingleInstance instance(path);
        QCOMPARE(instance.claim(), SingleInstance::Claim::Primary); // the lock still keeps others out
        QVERIFY(!instance.isListening());
        QCOMPARE(SingleInstance(path).claim(), SingleInstance::Claim::AnotherRuns);
        QCOMPARE(TestFiles::read(path), QByteArray("keep"));

        const QString locked = socketPath("lockedout"), elsewhere = socketPath("elsewhere");
        QVERIFY(QFile::link(elsewhere, locked + QStringLiteral(".lock")));
        SingleInstance unavailable(locked);
        QCOMPARE(unavailable.claim(), SingleInstance::Claim::Unavailable);
        QVERIFY(!unavailable.isListening());
        QVERIFY(!QFile::exists(elsewhere)); // the link was not followed
        QVERIFY(!QFile::exists(locked));

        // Another user's socket is refused.
        if (::geteuid() != 0)
            QSKIP("changing a file's owner needs root");
        const QString foreign = socketPath("foreign");
        QVERIFY(makeStaleSocket(foreign));
        QCOMPARE(::lchown(QFile::encodeName(foreign).constData(), 65534, 65534), 0);
        QVERIFY(SingleInstance::refusalReason(foreign).contains(QLatin1String("owned by user 65534")));
        SingleInstance refusing(foreign);
        QCOMPARE(refusing.claim(), SingleInstance::Claim::Primary);
        QVERIFY(!refusing.isListening());
        QCOMPARE(statOf(foreign).st_uid, uid_t(65534));
    }

};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
