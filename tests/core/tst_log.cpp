#include "core/Log.h"

#include "support/Sandbox.h"

#include <QTest>

class TestLog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // One line per message, "[category] LEVEL: message", the message written byte for byte.
    void standardErrorLines()
    {
        StderrCapture capture;
        QVERIFY(capture.isValid());
        Log::store().error(QStringLiteral("x"));
        Log::importing().info(QStringLiteral("picked 2 files"));
        Log::edit().debug(QStringLiteral("pinch ended"));
        Log::app().info(QStringLiteral("two\nlines %s %1 100% Zürich 📍"));
        Log(QStringLiteral("custom")).error(QStringLiteral("y"));
        QCOMPARE(QString::fromUtf8(capture.take()),
                 QStringLiteral("[store] ERROR: x\n"
                                "[import] INFO: picked 2 files\n"
                                "[edit] DEBUG: pinch ended\n"
                                "[app] INFO: two\nlines %s %1 100% Zürich 📍\n"
                                "[custom] ERROR: y\n"));
    }
};

QTEST_GUILESS_MAIN(TestLog)
#include "tst_log.moc"
