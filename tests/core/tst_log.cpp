#include "core/Log.h"

#include "support/Sandbox.h"

#include <QTest>

#include <thread>
#include <vector>

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
        Log::app().info(QString());
        Log::app().info(QStringLiteral("two\nlines"));
        Log::app().info(QStringLiteral("%s %1 100%"));
        Log::app().info(QStringLiteral("Zürich 📍"));
        Log(QStringLiteral("custom")).error(QStringLiteral("y"));
        QCOMPARE(QString::fromUtf8(capture.take()),
                 QStringLiteral("[store] ERROR: x\n"
                                "[import] INFO: picked 2 files\n"
                                "[edit] DEBUG: pinch ended\n"
                                "[app] INFO: \n"
                                "[app] INFO: two\nlines\n"
                                "[app] INFO: %s %1 100%\n"
                                "[app] INFO: Zürich 📍\n"
                                "[custom] ERROR: y\n"));
    }

    void linesFromSeveralThreadsDoNotInterleave()
    {
        constexpr int threadCount = 4;
        constexpr int perThread = 200;
        StderrCapture capture;
        std::vector<std::thread> threads;
        for (int t = 0; t < threadCount; ++t) {
            threads.emplace_back([t] {
                const QString body(100 + t * 300, QChar(u'a' + t));
                for (int i = 0; i < perThread; ++i)
                    Log::store().info(body);
            });
        }
        for (std::thread &thread : threads)
            thread.join();

        const QList<QByteArray> lines = capture.take().split('\n');
        QCOMPARE(lines.size(), threadCount * perThread + 1);
        QVERIFY(lines.last().isEmpty());
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            const QByteArray &line = lines.at(i);
            QVERIFY2(line.startsWith("[store] INFO: "), line.constData());
            const QByteArray body = line.mid(14);
            const int t = body.at(0) - 'a';
            QVERIFY(t >= 0 && t < threadCount);
            QCOMPARE(body, QByteArray(100 + t * 300, char('a' + t)));
        }
    }
};

QTEST_GUILESS_MAIN(TestLog)
#include "tst_log.moc"
