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

private slots:
    void capabilitiesOffX11()
    {
        X11DesktopWindowing windowing(m_portal);
        QVERIFY(!windowing.canClickThrough());
        QVERIFY(!windowing.canKeepBelow());
        QVERIFY(!windowing.isCompositing());
        QVERIFY(!windowing.canBlurBehind());
        ScreenInfo screen;
        screen.frame = QRect(0, 0, 800, 600);
        QVERIFY(windowing.desktopBackground(screen).isNull());
        QVERIFY(windowing.desktopPicturePath(screen).isEmpty());
    }

    void preparedWindow()
    {
        X11DesktopWindowing windowing(m_portal);
        QWidget window;
        windowing.prepareDesktopWindow(&window);
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(window.windowFlags() & Qt::WindowStaysOnBottomHint);
        QVERIFY(!(window.windowFlags() & Qt::WindowStaysOnTopHint));
        QVERIFY(window.testAttribute(Qt::WA_TranslucentBackground));
        QVERIFY(window.testAttribute(Qt::WA_ShowWithoutActivating));
        QCOMPARE(windowing.level(&window), WindowLevel::Desktop);
        // The native window is left to show(); its states are written when it is created.
        QVERIFY(!window.windowHandle() || !window.windowHandle()->handle());
    }

    // Level changes on a shown window keep the very same native window: no unmapping, no flicker.
    void levelsChangeInPlace()
    {
        X11DesktopWindowing windowing(m_portal);
        QWidget window;
        windowing.prepareDesktopWindow(&window);
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
        X11DesktopWindowing windowing(m_portal);
        QWidget window;
        windowing.prepareDesktopWindow(&window);
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

    void levelBeforeFirstShow()
    {
        X11DesktopWindowing windowing(m_portal);
        QWidget window;
        windowing.prepareDesktopWindow(&window);
        windowing.setLevel(&window, WindowLevel::Floating);
        QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.windowHandle()->flags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(window.windowHandle()->flags() & Qt::WindowStaysOnBottomHint));
        QVERIFY(window.windowHandle()->flags() & Qt::FramelessWindowHint);
        QVERIFY(window.testAttribute(Qt::WA_TranslucentBackground));
    }

    void clickThroughCancelledBeforeShow()
    {
        X11DesktopWindowing windowing(m_portal);
        QWidget window;
        windowing.prepareDesktopWindow(&window);
        windowing.setClickThrough(&window, true);
        windowing.setClickThrough(&window, false);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(20);
        QVERIFY(!(window.windowHandle()->flags() & Qt::WindowTransparentForInput));
    }

    void keyWindow()
    {
        X11DesktopWindowing windowing(m_portal);
        QWidget window;
        windowing.prepareDesktopWindow(&window);
        window.setGeometry(0, 0, 200, 100);
        windowing.activateApplication();
        windowing.makeKeyAndOrderFront(&window);
        QVERIFY(window.isVisible());
        QTRY_COMPARE(QGuiApplication::focusWindow(), window.windowHandle());
        windowing.deactivateApplication(); // nothing to hand back to off X11
    }

    void widgetsGoingAway()
    {
        X11DesktopWindowing windowing(m_portal);
        auto *window = new QWidget;
        windowing.prepareDesktopWindow(window);
        windowing.setClickThrough(window, true);
        delete window;
        QTest::qWait(10);
        windowing.setLevel(nullptr, WindowLevel::Floating);
        windowing.setClickThrough(nullptr, true);
        windowing.makeKeyAndOrderFront(nullptr);
        QCOMPARE(windowing.level(nullptr), WindowLevel::Normal);
    }
};

QTEST_MAIN(TestDesktopWindowing)
#include "tst_desktopwindowing.moc"
