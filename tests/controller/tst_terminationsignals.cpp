#include "app/shell/TerminationSignals.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

// The executable saves and quits on SIGTERM, SIGINT and SIGHUP; the handler only forwards
// the number into the event loop.
class TestTerminationSignals : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachSignalArrivesInTheEventLoop_data()
    {
        QTest::addColumn<int>("number");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }

    void eachSignalArrivesInTheEventLoop()
    {
        QFETCH(int, number);
        TerminationSignals signals_;
        QVERIFY(signals_.isInstalled());
        QVERIFY(!TerminationSignals().isInstalled()); // only one instance owns the handlers
        QSignalSpy received(&signals_, &TerminationSignals::received);
        ::raise(number);
        QCOMPARE(received.count(), 0); // nothing runs inside the handler
        QVERIFY(received.wait(2000) && received.count() == 1);
        QCOMPARE(received.first().first().toInt(), number);
    }

    void aBurstIsDeliveredInFull()
    {
        TerminationSignals signals_;
        QSignalSpy received(&signals_, &TerminationSignals::received);
        ::raise(SIGHUP);
        ::raise(SIGTERM);
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 2, 2000);
        QCOMPARE(received.at(1).first().toInt(), int(SIGTERM));
    }
};

QTEST_GUILESS_MAIN(TestTerminationSignals)
#include "tst_terminationsignals.moc"
