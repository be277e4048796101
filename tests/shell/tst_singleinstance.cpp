#include "app/shell/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// What a crash leaves behind: a socket file that nobody listens on.
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
    void theFirstClaimsListensForUserOnlyAndCleansUp()
    {
        const QString path = socketPath("first");
        {
            SingleInstance first(path);
            QCOMPARE(first.claim(), SingleInstance::Claim::Primary);
            QVERIFY(first.isListening());
            QCOMPARE(statOf(first.socketPath()).st_mode & 07777, mode_t(0600));
            QCOMPARE(statOf(first.lockPath()).st_mode & 07777, mode_t(0600));
            QCOMPARE(first.claim(), SingleInstance::Claim::Primary); // asking again changes nothing
        }
        QVERIFY(!QFile::exists(path));
        SingleInstance next(path);
        QCOMPARE(next.claim(), SingleInstance::Claim::Primary);
    }

    void aSecondStartHandsOverToTheFirst()
    {
        SingleInstance first(socketPath("handover"));
        QCOMPARE(first.claim(), SingleInstance::Claim::Primary);
        QSignalSpy activation(&first, &SingleInstance::activationRequested);

        SingleInstance second(socketPath("handover"));
        QCOMPARE(second.claim(), SingleInstance::Claim::AnotherRuns);
        QVERIFY(!second.isListening());
        QVERIFY(activation.wait(2000));
        QCOMPARE(activation.count(), 1);

        QCOMPARE(SingleInstance(socketPath("handover")).claim(), SingleInstance::Claim::AnotherRuns);
        QTRY_COMPARE(activation.count(), 2);
        QTRY_VERIFY(first.findChildren<QLocalSocket *>().isEmpty()); // each visitor is let go
    }

    void anythingButTheRequestIsIgnored()
    {
        SingleInstance first(socketPath("garbage"));
        QCOMPARE(first.claim(), SingleInstance::Claim::Primary);
        QSignalSpy activation(&first, &SingleInstance::activationRequested);
        QLocalSocket socket;
        socket.connectToServer(first.socketPath());
        QVERIFY(socket.waitForConnected(1000));
        socket.write("activated\n" + QByteArray(200, 'x'));
        QVERIFY(socket.waitForBytesWritten(1000));
        QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState); // an overlong request is cut off
        QCOMPARE(activation.count(), 0);
    }

    void aStaleSocketIsReplaced()
    {
        const QString path = socketPath("stale");
        QVERIFY(makeStaleSocket(path));
        QVERIFY(!answers(path));
        SingleInstance instance(path);
        QCOMPARE(instance.claim(), SingleInstance::Claim::Primary);
        QVERIFY(instance.isListening());
        QVERIFY(answers(path));
    }

    void refusalReasons_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("refused");
        QTest::newRow("absent") << "absent" << false;
        QTest::newRow("own socket") << "socket" << false;
        QTest::newRow("regular file") << "file" << true;
        QTest::newRow("folder") << "folder" << true;
        QTest::newRow("link to own socket") << "link" << true;
    }

    void refusalReasons()
    {
        QFETCH(QString, kind);
        QFETCH(bool, refused);
        const QString path = m_dir.filePath(QStringLiteral("reason-") + kind);
        const QString target = m_dir.filePath(QStringLiteral("reason-target-") + kind);
        if (kind == QLatin1String("socket"))
            QVERIFY(makeStaleSocket(path));
        if (kind == QLatin1String("file")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(path));
        if (kind == QLatin1String("link")) {
            QVERIFY(makeStaleSocket(target));
            QVERIFY(QFile::link(target, path));
        }
        QCOMPARE(!SingleInstance::refusalReason(path).isEmpty(), refused);
    }

    void aSocketPathThatIsNotOursIsLeftAlone()
    {
        const QString path = socketPath("notours");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("keep");
        }
        SingleInstance instance(path);
        QCOMPARE(instance.claim(), SingleInstance::Claim::Primary); // the lock still keeps others out
        QVERIFY(!instance.isListening());
        QCOMPARE(SingleInstance(path).claim(), SingleInstance::Claim::AnotherRuns);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("keep"));
    }

    void anotherUsersSocketIsRefused()
    {
        if (::geteuid() != 0)
            QSKIP("changing a file's owner needs root");
        const QString path = socketPath("foreign");
        QVERIFY(makeStaleSocket(path));
        QCOMPARE(::lchown(QFile::encodeName(path).constData(), 65534, 65534), 0);
        QVERIFY(SingleInstance::refusalReason(path).contains(QLatin1String("owned by user 65534")));
        SingleInstance instance(path);
        QCOMPARE(instance.claim(), SingleInstance::Claim::Primary);
        QVERIFY(!instance.isListening());
        QCOMPARE(statOf(path).st_uid, uid_t(65534));
    }

    void aLockThatIsNotOursMakesTheClaimUnavailable()
    {
        const QString path = socketPath("lockedout");
        const QString elsewhere = m_dir.filePath(QStringLiteral("elsewhere"));
        QVERIFY(QFile::link(elsewhere, path + QStringLiteral(".lock")));
        SingleInstance instance(path);
        QCOMPARE(instance.claim(), SingleInstance::Claim::Unavailable);
        QVERIFY(!instance.isListening());
        QVERIFY(!QFile::exists(elsewhere)); // the link was not followed
        QVERIFY(!QFile::exists(path));
    }

    void theDefaultPathIsInTheRuntimeFolder()
    {
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        const QString name = QStringLiteral("veloran-%1.socket").arg(::getuid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir.path()));
        QCOMPARE(SingleInstance::defaultSocketPath(), m_dir.filePath(name));
        qunsetenv("XDG_RUNTIME_DIR");
        QCOMPARE(SingleInstance::defaultSocketPath(), QDir(QDir::tempPath()).filePath(name));
        qputenv("XDG_RUNTIME_DIR", saved);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
