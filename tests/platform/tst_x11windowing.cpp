// The desktop windows on a real X server with a real window manager: Xvfb and openbox, with
// picom and hsetroot for the compositing and background cases. Runs only when
// VELORAN_X11_TESTS is set; it starts its own X server and leaves the user's display alone.
#include "platform/desktop/PortalSettings.h"
#include "platform/screens/QtScreenService.h"
#include "platform/windowing/X11DesktopWindowing.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QWidget>
#include <QWindow>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool enabled()
{
    return qEnvironmentVariableIsSet("VELORAN_X11_TESTS");
}

QString run(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(5000))
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// QWidget::winId() goes stale when Qt re-creates a window; the QWindow knows the current one.
quint64 nativeId(const QWidget *window)
{
    return window->windowHandle() ? quint64(window->windowHandle()->winId()) : 0;
}

QString hex(WId id)
{
    return QStringLiteral("0x%1").arg(quint64(id), 0, 16);
}

QStringList netWmState(WId id)
{
    const QString out = run(QStringLiteral("xprop"), {QStringLiteral("-id"), hex(id), QStringLiteral("_NET_WM_STATE")});
    const qsizetype eq = out.indexOf(QLatin1Char('='));
    if (eq < 0)
        return {};
    QStringList states = out.mid(eq + 1).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (QString &s : states)
        s = s.trimmed();
    return states;
}

QString rootProperty(const char *name)
{
    return run(QStringLiteral("xprop"), {QStringLiteral("-root"), QString::fromLatin1(name)});
}

// 0xFFFFFFFF in _NET_WM_DESKTOP: on every virtual desktop.
bool onAllDesktops(WId id)
{
    return run(QStringLiteral("xprop"), {QStringLiteral("-id"), hex(id), QStringLiteral("_NET_WM_DESKTOP")})
        .contains(QLatin1String("4294967295"));
}

QList<quint64> windowIds(const QString &xpropLine)
{
    QList<quint64> ids;
    static const QRegularExpression hexId(QStringLiteral("0x[0-9a-fA-F]+"));
    for (auto it = hexId.globalMatch(xpropLine); it.hasNext();)
        ids.append(it.next().captured().toULongLong(nullptr, 16));
    return ids;
}

quint64 activeWindow()
{
    const QList<quint64> ids = windowIds(rootProperty("_NET_ACTIVE_WINDOW"));
    return ids.isEmpty() ? 0 : ids.first();
}

QList<quint64> stacking()
{
    return windowIds(rootProperty("_NET_CLIENT_LIST_STACKING"));
}

bool xdotool(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), args);
    return process.waitForFinished(5000) && process.exitCode() == 0;
}

// The collage window stand-in: counts the clicks that reach it.
class DesktopWidget : public QWidget {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++presses; }
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), QColor(255, 255, 255, 60)); }
};

// Another application's window: reports the clicks it gets on standard output.
class ForeignWidget : public QWidget {
protected:
    void mousePressEvent(QMouseEvent *) override
    {
        std::printf("press\n");
        std::fflush(stdout);
    }
};

// An X server and window manager of our own, started before the application connects.
struct XSession {
    pid_t xvfb = 0;
    pid_t windowManager = 0;

    bool start()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        xvfb = fork();
        if (xvfb == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x800x24", "-noreset", "-nolisten",
                   "tcp", static_cast<char *>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (number.empty())
            return false;
        qputenv("DISPLAY", QByteArray(":") + QByteArray::fromStdString(number));
        windowManager = startQuietly("openbox");
        for (int i = 0; i < 100; ++i) {
            if (rootProperty("_NET_SUPPORTING_WM_CHECK").contains(QLatin1String("window id")))
                return true;
            usleep(50000);
        }
        return false;
    }

    static pid_t startQuietly(const char *program)
    {
        const pid_t pid = fork();
        if (pid == 0) {
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
            execlp(program, program, static_cast<char *>(nullptr));
            _exit(127);
        }
        return pid;
    }

    void stop()
    {
        for (pid_t pid : {windowManager, xvfb}) {
            if (pid > 0) {
                kill(pid, SIGTERM);
                waitpid(pid, nullptr, 0);
            }
        }
    }
};

XSession g_session;

} // namespace

class TestX11Windowing : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<PortalSettings> m_portal;
    std::unique_ptr<X11DesktopWindowing> m_windowing;

    std::unique_ptr<DesktopWidget> desktopWindow(const QRect &geometry = QRect(0, 0, 1280, 800))
    {
        auto window = std::make_unique<DesktopWidget>();
        m_windowing->prepareDesktopWindow(window.get());
        window->setGeometry(geometry);
        return window;
    }

    // A window of another application, which the user was typing into.
    std::unique_ptr<QProcess> foreignWindow(quint64 *id)
    {
        auto process = std::make_unique<QProcess>();
        process->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--foreign-window")});
        if (!process->waitForStarted() || !process->waitForReadyRead(10000))
            return {};
        *id = process->readLine().trimmed().toULongLong(nullptr, 16);
        return process;
    }

private slots:
    void initTestCase()
    {
        if (!enabled())
            QSKIP("set VELORAN_X11_TESTS to run the X11 tests (needs Xvfb, openbox, picom, hsetroot, xdotool, xprop)");
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        m_portal = std::make_shared<PortalSettings>(QDBusConnection(QString()));
        m_windowing = std::make_unique<X11DesktopWindowing>(m_portal);
    }

    void cleanupTestCase() { m_windowing.reset(); }

    void capabilities()
    {
        QVERIFY(m_windowing->canKeepBelow());
        QVERIFY(m_windowing->canClickThrough());
        QVERIFY(!m_windowing->canBlurBehind()); // openbox has no blur
        QVERIFY(!m_windowing->isCompositing());
    }

    void desktopWindowStates()
    {
        const auto window = desktopWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const WId id = WId(nativeId(window.get()));
        QTRY_VERIFY(netWmState(id).contains(QStringLiteral("_NET_WM_STATE_BELOW")));
        const QStringList states = netWmState(id);
        QVERIFY2(states.contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")), qPrintable(states.join(' ')));
        QVERIFY(states.contains(QStringLiteral("_NET_WM_STATE_SKIP_PAGER")));
        // openbox has no STICKY and drops it; it keeps the window on all desktops by number.
        if (rootProperty("_NET_SUPPORTED").contains(QLatin1String("_NET_WM_STATE_STICKY")))
            QVERIFY(states.contains(QStringLiteral("_NET_WM_STATE_STICKY")));
        QVERIFY(onAllDesktops(id));
        QVERIFY(xdotool({"set_desktop", "1"}));
        QTRY_VERIFY(rootProperty("_NET_CURRENT_DESKTOP").contains(QLatin1String("= 1")));
        QTest::qWait(100);
        QVERIFY(run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), hex(id)}).contains(QLatin1String("IsViewable")));
        QVERIFY(xdotool({"set_desktop", "0"}));

        // Up for editing and back, in place: the states survive and the window stays the same.
        m_windowing->setLevel(window.get(), WindowLevel::Floating);
        QTRY_VERIFY(netWmState(id).contains(QStringLiteral("_NET_WM_STATE_ABOVE")));
        QVERIFY(!netWmState(id).contains(QStringLiteral("_NET_WM_STATE_BELOW")));
        QVERIFY(netWmState(id).contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")));
        m_windowing->setLevel(window.get(), WindowLevel::Desktop);
        QTRY_VERIFY(netWmState(id).contains(QStringLiteral("_NET_WM_STATE_BELOW")));
        QVERIFY(!netWmState(id).contains(QStringLiteral("_NET_WM_STATE_ABOVE")));
        QVERIFY(netWmState(id).contains(QStringLiteral("_NET_WM_STATE_SKIP_PAGER")));
        QCOMPARE(nativeId(window.get()), quint64(id));
        QVERIFY(onAllDesktops(id));
    }

    // Hidden and shown again after a level change, the window is re-created by Qt (with a new
    // id and without our states); they are asked for again once it is mapped.
    void statesSurviveHideAndShow()
    {
        const auto window = desktopWindow();
        m_windowing->setLevel(window.get(), WindowLevel::Floating); // before the first show
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_VERIFY(netWmState(nativeId(window.get())).contains(QStringLiteral("_NET_WM_STATE_ABOVE")));
        QVERIFY(netWmState(nativeId(window.get())).contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")));
        m_windowing->setLevel(window.get(), WindowLevel::Desktop);
        window->hide();
        QTest::qWait(100);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const WId id = WId(nativeId(window.get()));
        QTRY_VERIFY(netWmState(id).contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")));
        QTRY_VERIFY(netWmState(id).contains(QStringLiteral("_NET_WM_STATE_SKIP_PAGER")));
        QVERIFY(netWmState(id).contains(QStringLiteral("_NET_WM_STATE_BELOW")));
        QTRY_VERIFY(onAllDesktops(id));
    }

    // Set before the first show or right after it, before the window manager has mapped the
    // window: the cases in which openbox would keep a full input area if the shape came early.
    void clickThrough_data()
    {
        QTest::addColumn<bool>("beforeShow");
        QTest::newRow("before show") << true;
        QTest::newRow("right after show") << false;
    }

    void clickThrough()
    {
        QFETCH(bool, beforeShow);
        quint64 foreign = 0;
        const auto helper = foreignWindow(&foreign);
        QVERIFY(helper && foreign);
        // Presses the other window reported since the last look (QTRY evaluates more than once).
        QByteArray reported;
        const auto pressesElsewhere = [&] {
            reported += helper->readAll();
            return reported.count("press");
        };
        QTRY_VERIFY(stacking().contains(foreign));
        QTest::qWait(200);
        QVERIFY(xdotool({"mousemove", "850", "500", "click", "1"}));
        QTRY_COMPARE(pressesElsewhere(), 1);

        // Floating above the other window, so that a click let through lands on it.
        const auto window = desktopWindow(QRect(600, 300, 500, 400));
        m_windowing->setLevel(window.get(), WindowLevel::Floating);
        if (beforeShow)
            m_windowing->setClickThrough(window.get(), true);
        window->show();
        if (!beforeShow)
            m_windowing->setClickThrough(window.get(), true);
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_VERIFY(stacking().indexOf(nativeId(window.get())) > stacking().indexOf(foreign));
        QTRY_VERIFY(window->windowHandle()->flags() & Qt::WindowTransparentForInput);
        QTest::qWait(200);
        QVERIFY(xdotool({"mousemove", "850", "500", "click", "1"}));
        QTRY_COMPARE(pressesElsewhere(), 2);
        QCOMPARE(window->presses, 0);

        m_windowing->setClickThrough(window.get(), false);
        QVERIFY(xdotool({"mousemove", "860", "500", "click", "1"}));
        QTRY_COMPARE(window->presses, 1);
        QTest::qWait(100);
        QCOMPARE(pressesElsewhere(), 2);

        m_windowing->setClickThrough(window.get(), true);
        QVERIFY(xdotool({"mousemove", "850", "510", "click", "1"}));
        QTRY_COMPARE(pressesElsewhere(), 3);
        QCOMPARE(window->presses, 1);
        helper->kill();
        helper->waitForFinished();
    }

    // Against another application's window: stacked below it, shown without taking the keyboard,
    // above it when floating, and the keyboard handed back when going down again.
    void stackingAndKeyboardAgainstOrdinaryWindows()
    {
        quint64 foreign = 0;
        const auto helper = foreignWindow(&foreign);
        QVERIFY(helper && foreign);
        QTRY_COMPARE(activeWindow(), foreign);

        const auto window = desktopWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const quint64 ours = nativeId(window.get());
        QTRY_VERIFY(stacking().contains(ours) && stacking().contains(foreign));
        QTRY_VERIFY(stacking().indexOf(ours) < stacking().indexOf(foreign));
        QTest::qWait(200);
        QCOMPARE(activeWindow(), foreign);

        m_windowing->setLevel(window.get(), WindowLevel::Floating);
        QTRY_VERIFY(stacking().indexOf(ours) > stacking().indexOf(foreign));
        m_windowing->setLevel(window.get(), WindowLevel::Desktop);
        QTRY_VERIFY(stacking().indexOf(ours) < stacking().indexOf(foreign));

        m_windowing->activateApplication();
        m_windowing->setLevel(window.get(), WindowLevel::Floating);
        m_windowing->makeKeyAndOrderFront(window.get());
        QTRY_COMPARE(activeWindow(), quint64(nativeId(window.get())));
        QTRY_VERIFY(window->isActiveWindow());

        m_windowing->setLevel(window.get(), WindowLevel::Desktop);
        m_windowing->deactivateApplication();
        QTRY_COMPARE(activeWindow(), foreign);
        helper->kill();
        helper->waitForFinished();
    }

    void backgroundAndCompositing()
    {
        for (const char *tool : {"hsetroot", "picom"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                QSKIP("hsetroot and picom are needed");
        }
        QCOMPARE(QProcess::execute(QStringLiteral("hsetroot"), {QStringLiteral("-solid"), QStringLiteral("#3050a0")}), 0);
        const ScreenList screens = QtScreenService().screens();
        QCOMPARE(screens.size(), 1);
        const QImage background = m_windowing->desktopBackground(screens.first());
        QCOMPARE(background.size(), QSize(1280, 800));
        QCOMPARE(background.pixelColor(10, 10), QColor(0x30, 0x50, 0xa0));
        QCOMPARE(background.pixelColor(1279, 799), QColor(0x30, 0x50, 0xa0));

        QVERIFY(!m_windowing->isCompositing());
        QProcess picom;
        picom.start(QStringLiteral("picom"), {QStringLiteral("--backend"), QStringLiteral("xrender")});
        QVERIFY(picom.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(m_windowing->isCompositing(), 10000);
        picom.terminate();
        picom.waitForFinished();
        QTRY_VERIFY(!m_windowing->isCompositing());
    }

    void screensFollowTheServer()
    {
        QtScreenService service;
        QSignalSpy changed(&service, &ScreenService::changed);
        QCOMPARE(QProcess::execute(QStringLiteral("xrandr"),
                                   {"--setmonitor", "LEFT", "640/169x800/211+0+0", "screen"}), 0);
        QCOMPARE(QProcess::execute(QStringLiteral("xrandr"),
                                   {"--setmonitor", "RIGHT", "640/169x800/211+640+0", "none"}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(service.screens().size(), 2, 5000);
        QTRY_VERIFY(changed.count() >= 1);
        QTest::qWait(ScreenService::coalesceIntervalMs * 2);
        const int bursts = changed.count();
        QVERIFY2(bursts <= 2, qPrintable(QString::number(bursts)));
        const ScreenList screens = service.screens();
        QVERIFY(screens[0].displayKey != screens[1].displayKey);
        QCOMPARE(service.screenAt(QPoint(700, 10))->frame, QRect(640, 0, 640, 800));
        QCOMPARE(QProcess::execute(QStringLiteral("xrandr"), {"--delmonitor", "RIGHT"}), 0);
        QCOMPARE(QProcess::execute(QStringLiteral("xrandr"), {"--delmonitor", "LEFT"}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(service.screens().size(), 1, 5000);
    }
};

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--foreign-window") == 0) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        QApplication app(argc, argv);
        ForeignWidget window;
        window.setWindowTitle(QStringLiteral("Someone else's window"));
        window.setGeometry(700, 400, 300, 200);
        window.show();
        window.activateWindow();
        std::printf("0x%llx\n", static_cast<unsigned long long>(window.winId()));
        std::fflush(stdout);
        return app.exec();
    }
    if (enabled()) {
        if (!g_session.start()) {
            g_session.stop();
            std::fprintf(stderr, "could not start Xvfb and openbox\n");
            return 1;
        }
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    int result = 0;
    {
        QApplication app(argc, argv);
        TestX11Windowing test;
        result = QTest::qExec(&test, argc, argv);
    }
    g_session.stop();
    return result;
}

#include "tst_x11windowing.moc"
