#include "platform/autostart/Autostart.h"
#include "support/Sandbox.h"

#include <QtTest>

class TestAutostart : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QFile::remove(Autostart::defaultPath()); }

    void writtenValidAndRemovedOrWhyNot()
    {
        QCOMPARE(Autostart().path(), qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/autostart/veloran.desktop"));
        const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (validator.isEmpty())
            qWarning("desktop-file-validate is not installed (Debian package desktop-file-utils): entries go unchecked");
        const std::pair<QString, QString> rows[] = { // the program's path, Exec
            {"/usr/bin/veloran", "/usr/bin/veloran"}, {R"(/opt/my "apps"/veloran)", R"("/opt/my \\"apps\\"/veloran")"},
            {R"(/h/a$b\c/100%/v)", R"("/h/a\\$b\\\\c/100%%/v")"}, {"/home/zoë/bin/veloran", "/home/zoë/bin/veloran"}};
        for (const auto &[program, exec] : rows) {
            Autostart autostart;
            QVERIFY(!autostart.isEnabled());
            QVERIFY2(autostart.enable(program), qPrintable(autostart.errorString()));
            QVERIFY(autostart.isEnabled());
            const QStringList lines = QString::fromUtf8(TestFiles::read(autostart.path())).split(QLatin1Char('\n'));
            QCOMPARE(lines.first(), QStringLiteral("[Desktop Entry]"));
            for (const QString &line : {QStringLiteral("Exec=") + exec, QStringLiteral("X-GNOME-Autostart-enabled=true")})
                QVERIFY2(lines.contains(line), qPrintable(line));
            if (!validator.isEmpty()) {
                QProcess check;
                check.setProcessChannelMode(QProcess::MergedChannels);
                check.start(validator, {autostart.path()});
                QVERIFY(check.waitForFinished(10000));
                QCOMPARE(check.readAll() + QByteArray::number(check.exitCode()), QByteArray("0"));
            }
            QVERIFY(autostart.disable());
            QVERIFY(!QFileInfo::exists(autostart.path()) && !autostart.isEnabled());
            QVERIFY(autostart.disable()); // nothing left to remove is no failure
        }

        Autostart autostart;
        QVERIFY(!autostart.enable(QStringLiteral("veloran")) && autostart.errorString().contains(QLatin1String("veloran")));
        QVERIFY(!autostart.enable(QStringLiteral("/usr/bin/velo\nran")) && !QFileInfo::exists(autostart.path()));
        // Where the folder should be there is a file.
        const QString blocked = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/blocked");
        QVERIFY(TestFiles::write(blocked, "x"));
        Autostart underFile(blocked + QStringLiteral("/autostart/veloran.desktop"));
        QVERIFY(!underFile.enable(QStringLiteral("/usr/bin/veloran")) && underFile.errorString().contains(blocked));
        // A folder that is not empty where the entry should be cannot be removed.
        QVERIFY(TestFiles::write(autostart.path() + QStringLiteral("/keep"), "x"));
        QVERIFY(!autostart.disable() && autostart.errorString().contains(autostart.path()));
        QVERIFY(QDir(autostart.path()).removeRecursively());
        QVERIFY(autostart.disable() && autostart.errorString().isEmpty());

        // Entries written by others.
        const QString plain = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/plain"); // nobody may run it
        QVERIFY(TestFiles::write(plain, "#!/bin/sh\n"));
        QFile::setPermissions(plain, QFile::ReadOwner | QFile::WriteOwner);
        const std::pair<QByteArray, bool> entries[] = {
            {"", true}, {"Hidden=true\n", false}, {"Hidden=false\n", true}, {"X-GNOME-Autostart-enabled = false\n", false},
            {"TryExec=sh\n", true}, {"TryExec=/nonexistent/veloran\n", false}, {"TryExec=" + plain.toUtf8() + "\n", false},
            {"TryExec=/usr/bin\n", false}, {"[Desktop Action Off]\nHidden=true\n", true}};
        for (const auto &[extra, enabled] : entries) {
            QVERIFY(TestFiles::write(Autostart::defaultPath(), "[Desktop Entry]\nType=Application\nName=V\nExec=v\n" + extra));
            QVERIFY2(Autostart().isEnabled() == enabled, extra.constData());
        }
    }
};

int main(int argc, char **argv)
{
    const Sandbox sandbox; // before anything reads the configuration location
    QCoreApplication app(argc, argv);
    TestAutostart test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_autostart.moc"
