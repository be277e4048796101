#include "platform/desktop/PortalSettings.h"
#include "platform/windowing/X11DesktopWindowing.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <QtTest>

// The window-system independent half of the desktop windows, on the offscreen plugin: the
// Qt flags and attributes, and changes made in place. The X11 half has its own test.
class TestDesktopWindowing : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<PortalSettings> m_portal = std::make_shared<PortalSettings>(QDBusConnection(QString()));
    std::unique_ptr<X11DesktopWindowing> m_windowing;
    std::unique_ptr<QWidget> m_window; // prepared as a desktop window, not yet shown

private slots:
    void init()
    {
        m_windowing = std::make_unique<X11DesktopWindowing>(m_portal);
        m_window = std::make_unique<QWidget>();
        m_windowing->prepareDesktopWindow(m_window.get());
    }

    void cleanup()
    {
        m_window.reset();
        m_windowing.reset();
    }

    void capabilitiesOffX11()
    {
        QVERIFY(!m_windowing->canClickThrough());
        QVERIFY(!m_windowing->canKeepBelow());
        QVERIFY(!m_windowing->isCompositing());
        QVERIFY(!m_windowing->canBlurBehind());
        ScreenInfo screen;
        screen.frame = QRect(0, 0, 800, 600);
        QVERIFY(m_windowing->desktopBackground(screen).isNull());
        QVERIFY(m_windowing->desktopPicturePath(screen).isEmpty());
    }

    void preparedWindow()
    {
        QWidget &window = *m_window;
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(window.windowFlags() & Qt::WindowStaysOnBottomHint);
        QVERIFY(!(window.windowFlags() & Qt::WindowStaysOnTopHint));
        QVERIFY(window.testAttribute(Qt::WA_TranslucentBackground));
        QVERIFY(window.testAttribute(Qt::WA_ShowWithoutActivating));
        QCOMPARE(m_windowing->level(&window), WindowLevel::Desktop);
        // The native window is left to show(); its states are written when it is created.
        QVERIFY(!window.windowHandle() || !window.windowHandle()->handle());
    }

    // Level changes on a shown window keep the very same native window: no unmapping, no flicker.
    void levelsChangeInPlace()
    {
        QWidget &window = *m_window;
        X11DesktopWindowing &windowing = *m_windowing;
        window.setGeometry(0, 0, 200, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPointer<QWindow> handle = window.windowHandle();
        const WId id = window.winId();

        windowing.setLevel(&window, WindowLevel::Floating);
        QCOMPARE(window.windowHandle(), handle.data());
        QCOMPARE(window.winId(), id);
        QVERIFY(handle->flags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(handle->flags() & Qt::WindowStaysOnBottomHint));
        QVERIFY(handle->flags() & Qt::FramelessWindowHint);
        QCOMPARE(window.windowFlags(), handle->flags());
        QVERIFY(window.isVisible());
        QCOMPARE(windowing.level(&window), WindowLevel::Floating);

        windowing.setLevel(&window, WindowLevel::Panel);
        QCOMPARE(windowing.level(&window), WindowLevel::Panel);
        QVERIFY(handle->flags() & Qt::WindowStaysOnTopHint);

        windowing.setLevel(&window, WindowLevel::Normal);
        QVERIFY(!(handle->flags() & (Qt::WindowStaysOnTopHint | Qt::WindowStaysOnBottomHint)));

        windowing.setLevel(&window, WindowLevel::Desktop);
        QVERIFY(handle->flags() & Qt::WindowStaysOnBottomHint);
        QVERIFY(!(handle->flags() & Qt::WindowStaysOnTopHint));
        QCOMPARE(window.windowHandle(), handle.data());
        QCOMPARE(window.winId(), id);
        QVERIFY(window.isVisible());
    }

    void clickThroughWaitsForTheWindow()
    {
        QWidget &window = *m_window;
        X11DesktopWindowing &windowing = *m_windowing;
        window.setGeometry(0, 0, 200, 100);
        windowing.setClickThrough(&window, true);
        QVERIFY(windowing.isClickThrough(&window));
        QVERIFY(!(window.windowFlags() & Qt::WindowTransparentForInput));

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.windowHandle()->flags() & Qt::WindowTransparentForInput);
        const QPointer<QWindow> handle = window.windowHandle();

        windowing.setClickThrough(&window, false);
        QVERIFY(!(handle->flags() & Qt::WindowTransparentForInput));
        QVERIFY(!windowing.isClickThrough(&window));
        windowing.setClickThrough(&window, true);
        QVERIFY(handle->flags() & Qt::WindowTransparentForInput);
        QCOMPARE(window.windowHandle(), handle.data());
        QVERIFY(handle->flags() & Qt::WindowStaysOnBottomHint); // nothing else lost
    }

    // A level set, and a click-through set and cancelled, before the first show.
    void changesBeforeFirstShow()
    {
        QWidget &window = *m_window;
        m_windowing->setLevel(&window, WindowLevel::Floating);
        QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
        m_windowing->setClickThrough(&window, true);
        m_windowing->setClickThrough(&window, false);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(20);
        QVERIFY(window.windowHandle()->flags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(window.windowHandle()->flags() & Qt::WindowStaysOnBottomHint));
        QVERIFY(window.windowHandle()->flags() & Qt::FramelessWindowHint);
        QVERIFY(!(window.windowHandle()->flags() & Qt::WindowTransparentForInput));
        QVERIFY(window.testAttribute(Qt::WA_TranslucentBackground));
    }

    void keyWindow()
    {
        m_window->setGeometry(0, 0, 200, 100);
        m_windowing->activateApplication();
        m_windowing->makeKeyAndOrderFront(m_window.get());
        QVERIFY(m_window->isVisible());
        QTRY_COMPARE(QGuiApplication::focusWindow(), m_window->windowHandle());
        m_windowing->deactivateApplication(); // nothing to hand back to off X11
    }

    void widgetsGoingAway()
    {
        m_windowing->setClickThrough(m_window.get(), true);
        m_window.reset();
        QTest::qWait(10);
        m_windowing->setLevel(nullptr, WindowLevel::Floating);
        m_windowing->setClickThrough(nullptr, true);
        m_windowing->makeKeyAndOrderFront(nullptr);
        QCOMPARE(m_windowing->level(nullptr), WindowLevel::Normal);
    }
};

QTEST_MAIN(TestDesktopWindowing)
#include "tst_desktopwindowing.moc"
