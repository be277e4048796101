// The desktop windows on an X server (Xvfb, which picks a free display, so that parallel runs never
// meet) and window manager (openbox) of the test's own; without Xvfb the test is skipped.
#include "platform/desktop/PortalSettings.h"
#include "platform/screens/QtScreenService.h"
#include "platform/windowing/X11DesktopWindowing.h"
#include "support/XvfbServer.h"

#include <QtTest>

static QString g_skipped; // why the test cannot run here

static QString output(const char *program, const QString &args)
{
    QProcess process;
    process.start(QString::fromLatin1(program), args.split(QLatin1Char(' ')));
    return process.waitForFinished(5000) ? QString::fromLocal8Bit(process.readAllStandardOutput()) : QString();
}

// A property of the window, or of the root window for 0, as xprop prints it.
static QString xprop(quint64 window, const char *property)
{
    return output("xprop", (window ? QStringLiteral("-id %1 ").arg(window) : QStringLiteral("-root ")) + property);
}

// The windows a property of the root window names (_NET_CLIENT_LIST_STACKING: bottom first).
static QList<quint64> rootWindows(const char *property)
{
    QList<quint64> ids;
    static const QRegularExpression hexId(QStringLiteral("0x[0-9a-fA-F]+"));
    for (auto it = hexId.globalMatch(xprop(0, property)); it.hasNext();)
        ids.append(it.next().captured().toULongLong(nullptr, 16));
    return ids;
}

static bool run(const char *program, const QString &args)
{
    return QProcess::execute(QString::fromLatin1(program), args.split(QLatin1Char(' '))) == 0;
}

// QWidget::winId() goes stale when Qt re-creates a window; the QWindow knows the current one.
static quint64 nativeId(const QWidget *window)
{
    return window->windowHandle() ? quint64(window->windowHandle()->winId()) : 0;
}

// What is wrong with a desktop window at the level, next to another application's window;
// empty when nothing is. openbox has no STICKY: it keeps the window on all desktops by number.
// A window maximized horizontally is not one it lifts above the others as full screen.
static QString problems(quint64 id, WindowLevel level, quint64 theirs)
{
    const QString states = xprop(id, "_NET_WM_STATE") + xprop(id, "_NET_WM_DESKTOP");
    const bool below = level == WindowLevel::Desktop;
    QStringList found;
    const char *wantedStates[] = {below ? "_BELOW" : "_ABOVE", "_SKIP_TASKBAR", "_SKIP_PAGER", "_MAXIMIZED_HORZ",
                                  "4294967295" /* on every desktop */};
    for (const char *wanted : wantedStates)
        if (!states.contains(QLatin1String(wanted)))
            found << QLatin1String("no ") + QLatin1String(wanted);
    if (states.contains(QLatin1String(below ? "_ABOVE" : "_BELOW")))
        found << QStringLiteral("the other level too");
    const QList<quint64> order = rootWindows("_NET_CLIENT_LIST_STACKING");
    if (!order.contains(id) || (order.indexOf(id) < order.indexOf(theirs)) != below)
        found << QStringLiteral("stacked on the wrong side of the other window");
    return found.join(QStringLiteral(", "));
}

// The collage window stand-in: counts the clicks that reach it.
struct DesktopWidget : QWidget {
    int presses = 0;
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

// An X server and window manager of the test's own, started before the application connects.
struct XSession {
    XvfbServer xvfb;
    QProcess windowManager;

    QString start()
    {
        for (const char *tool : {"openbox", "picom", "hsetroot", "xdotool", "xprop", "xwininfo", "xrandr", "xmessage"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                return QString::fromLatin1(tool) + QLatin1String(" is not installed");
        if (const QString problem = xvfb.start(QStringLiteral("1280x800x24")); !problem.isEmpty())
            return problem;
        windowManager.setProcessChannelMode(QProcess::MergedChannels);
        windowManager.setStandardOutputFile(QProcess::nullDevice());
        windowManager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        // The check window carries the name of the window manager that really runs.
        for (int i = 0; i < 200; ++i, QTest::qSleep(50)) {
            const QList<quint64> check = rootWindows("_NET_SUPPORTING_WM_CHECK");
            if (!check.isEmpty() && xprop(check.first(), "_NET_WM_NAME").contains(QLatin1String("\"Openbox\"")))
                return {};
        }
        return QStringLiteral("openbox did not start");
    }

    ~XSession()
    {
        windowManager.terminate();
        windowManager.waitForFinished();
    }
};

class TestX11Windowing : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<X11DesktopWindowing> m_windowing;
    QProcess m_foreign; // another application's window, which the user was typing into
    quint64 m_foreignId = 0;
    quint64 m_foreignFrame = 0; // the window manager's frame around it, which the pointer finds

    std::unique_ptr<DesktopWidget> desktopWindow(const QRect &geometry = QRect(0, 0, 1280, 800))
    {
        auto window = std::make_unique<DesktopWidget>();
        m_windowing->prepareDesktopWindow(window.get());
        window->setGeometry(geometry);
        return window;
    }

private slots:
    void initTestCase()
    {
        if (!g_skipped.isEmpty())
            QSKIP(qPrintable(g_skipped));
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        m_windowing = std::make_unique<X11DesktopWindowing>(std::make_shared<PortalSettings>(QDBusConnection(QString())));
        m_foreign.start(QStringLiteral("xmessage"), {"-geometry", "300x200+700+400", "theirs"});
        const auto managed = [this] { return (m_foreignId = rootWindows("_NET_CLIENT_LIST_STACKING").value(0)) != 0; };
        QTRY_VERIFY_WITH_TIMEOUT(managed(), 20000);
        static const QRegularExpression parent(QStringLiteral("Parent window id: (0x[0-9a-f]+)"));
        m_foreignFrame = parent.match(output("xwininfo", QStringLiteral("-children -id %1").arg(m_foreignId)))
                             .captured(1).toULongLong(nullptr, 16);
        QVERIFY(m_windowing->canKeepBelow() && m_windowing->canClickThrough());
        QVERIFY(!m_windowing->canBlurBehind()); // openbox has no blur
    }

    // Every test begins with the keyboard in the other application's window.
    void init()
    {
        QVERIFY(run("xdotool", QStringLiteral("windowactivate %1").arg(m_foreignId)));
        QTRY_COMPARE(rootWindows("_NET_ACTIVE_WINDOW").value(0), m_foreignId);
    }

    // Shown at either level without taking the keyboard, raised for editing (taking it), lowered
    // (handing it back), hidden and shown again (Qt then re-creates the native window without
    // our states): the states and the place in the stacking order follow every step.
    void levels_data()
    {
        QTest::addColumn<bool>("raisedFirst");
        QTest::newRow("shown at the desktop level") << false;
        QTest::newRow("raised before the first show") << true;
    }

    void levels()
    {
        QFETCH(bool, raisedFirst);
        const auto window = desktopWindow();
        if (raisedFirst)
            m_windowing->setLevel(window.get(), WindowLevel::Floating);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get(), 10000));
        const quint64 id = nativeId(window.get());
        QTRY_COMPARE(problems(id, raisedFirst ? WindowLevel::Floating : WindowLevel::Desktop, m_foreignId), QString());
        QCOMPARE(window->geometry(), QRect(0, 0, 1280, 800));
        QCOMPARE(rootWindows("_NET_ACTIVE_WINDOW").value(0), m_foreignId);
        m_windowing->activateApplication();
        m_windowing->setLevel(window.get(), WindowLevel::Floating);
        m_windowing->makeKeyAndOrderFront(window.get());
        QTRY_COMPARE(problems(id, WindowLevel::Floating, m_foreignId), QString());
        QTRY_COMPARE(rootWindows("_NET_ACTIVE_WINDOW").value(0), id);
        QTRY_VERIFY(window->isActiveWindow());
        m_windowing->setLevel(window.get(), WindowLevel::Desktop);
        m_windowing->deactivateApplication();
        QTRY_COMPARE(problems(id, WindowLevel::Desktop, m_foreignId), QString());
        QTRY_COMPARE(rootWindows("_NET_ACTIVE_WINDOW").value(0), m_foreignId);
        QCOMPARE(nativeId(window.get()), id);
        QVERIFY(run("xdotool", QStringLiteral("set_desktop 1")));
        QTRY_VERIFY(xprop(0, "_NET_CURRENT_DESKTOP").contains(QLatin1String("= 1")));
        QTest::qWait(100);
        QVERIFY(xprop(id, "WM_STATE").contains(QLatin1String("Normal"))); // not hidden there
        QVERIFY(run("xdotool", QStringLiteral("set_desktop 0")));
        window->hide();
        QTest::qWait(100);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get(), 10000));
        QTRY_COMPARE(problems(nativeId(window.get()), WindowLevel::Desktop, m_foreignId), QString());
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
        // Floating above the other window, so that a click let through lands on it.
        const auto window = desktopWindow(QRect(600, 300, 500, 400));
        m_windowing->setLevel(window.get(), WindowLevel::Floating);
        if (beforeShow)
            m_windowing->setClickThrough(window.get(), true);
        window->show();
        if (!beforeShow)
            m_windowing->setClickThrough(window.get(), true);
        QVERIFY(QTest::qWaitForWindowExposed(window.get(), 10000));
        QTRY_COMPARE(problems(nativeId(window.get()), WindowLevel::Floating, m_foreignId), QString());
        QTest::qWait(200);
        // Through, caught, and through again: the pointer finds the window a click would reach.
        const auto pointerFindsTheirs = [this] {
            const QString found = output("xdotool", QStringLiteral("mousemove 850 500 getmouselocation --shell"));
            return found.contains(QStringLiteral("WINDOW=%1\n").arg(m_foreignFrame));
        };
        for (const bool through : {true, false, true}) {
            m_windowing->setClickThrough(window.get(), through);
            const int presses = window->presses;
            QTRY_COMPARE(pointerFindsTheirs(), through);
            QVERIFY(run("xdotool", QStringLiteral("click 1")));
            QTest::qWait(100);
            QTRY_COMPARE(window->presses, presses + (through ? 0 : 1));
        }
    }

    void backgroundCompositingAndScreens()
    {
        QVERIFY(run("hsetroot", QStringLiteral("-solid #3050a0")));
        const ScreenList screens = QtScreenService().screens();
        QCOMPARE(screens.size(), 1);
        const QImage background = m_windowing->desktopBackground(screens.first());
        QCOMPARE(background.size(), QSize(1280, 800));
        QCOMPARE(background.pixelColor(10, 10), QColor(0x30, 0x50, 0xa0));
        QCOMPARE(background.pixelColor(1279, 799), QColor(0x30, 0x50, 0xa0));

        QVERIFY(!m_windowing->isCompositing());
        QProcess picom;
        picom.start(QStringLiteral("picom"), {QStringLiteral("--backend"), QStringLiteral("xrender")});
        QTRY_VERIFY_WITH_TIMEOUT(m_windowing->isCompositing(), 10000);
        picom.terminate();
        picom.waitForFinished();
        QTRY_VERIFY(!m_windowing->isCompositing());

        QtScreenService service;
        QSignalSpy changed(&service, &ScreenService::changed);
        QVERIFY(run("xrandr", QStringLiteral("--setmonitor LEFT 640/169x800/211+0+0 screen")));
        QVERIFY(run("xrandr", QStringLiteral("--setmonitor RIGHT 640/169x800/211+640+0 none")));
        QTRY_COMPARE_WITH_TIMEOUT(service.screens().size(), 2, 5000);
        QTRY_VERIFY(changed.count() >= 1);
        QTest::qWait(ScreenService::coalesceIntervalMs * 2);
        QVERIFY2(changed.count() <= 2, qPrintable(QString::number(changed.count())));
        const ScreenList split = service.screens();
        QVERIFY(split[0].displayKey != split[1].displayKey);
        QCOMPARE(service.screenAt(QPoint(700, 10))->frame, QRect(640, 0, 640, 800));
        QVERIFY(run("xrandr", QStringLiteral("--delmonitor RIGHT")));
        QVERIFY(run("xrandr", QStringLiteral("--delmonitor LEFT")));
        QTRY_COMPARE_WITH_TIMEOUT(service.screens().size(), 1, 5000);
    }
};

int main(int argc, char **argv)
{
    XSession session;
    const bool withXvfb = !QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty();
    if (!withXvfb) {
        g_skipped = QStringLiteral("Xvfb is not installed (Debian package xvfb)");
    } else if (const QString problem = session.start(); !problem.isEmpty()) {
        qCritical("no X session for the test: %s", qPrintable(problem));
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", withXvfb ? "xcb" : "offscreen");
    QApplication app(argc, argv);
    TestX11Windowing test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_x11windowing.moc"
