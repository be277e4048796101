#include "platform/desktop/PortalSettings.h"
#include "platform/windowing/X11DesktopWindowing.h"

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

    void cleanup() { m_window.reset(); } // before the windowing that prepared it

    void preparedWindowOffX11()
    {
        QVERIFY(!m_windowing->canClickThrough() && !m_windowing->canKeepBelow());
        QVERIFY(!m_windowing->isCompositing() && !m_windowing->canBlurBehind());
        ScreenInfo screen;
        screen.frame = QRect(0, 0, 800, 600);
        QVERIFY(m_windowing->desktopBackground(screen).isNull() && m_windowing->desktopPicturePath(screen).isEmpty());
        QWidget &window = *m_window;
        QCOMPARE(window.windowFlags() & (Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint | Qt::WindowStaysOnTopHint),
                 Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint);
        QVERIFY(window.testAttribute(Qt::WA_TranslucentBackground) && window.testAttribute(Qt::WA_ShowWithoutActivating));
        QCOMPARE(m_windowing->level(&window), WindowLevel::Desktop);
        // The native window is left to show(); its states are written when it is created.
        QVERIFY(!window.windowHandle() || !window.windowHandle()->handle());
    }

    // Click-through waits for the native window; level changes on a shown window keep the very
    // same native window (no unmapping, no flicker) and the click-through.
    void changesInPlace()
    {
        QWidget &window = *m_window;
        window.setGeometry(0, 0, 200, 100);
        m_windowing->setClickThrough(&window, true);
        QVERIFY(m_windowing->isClickThrough(&window) && !(window.windowFlags() & Qt::WindowTransparentForInput));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.windowHandle()->flags() & Qt::WindowTransparentForInput);
        const QPointer<QWindow> handle = window.windowHandle();
        const WId id = window.winId();
        for (const auto &[level, stacking] :
             {std::pair{WindowLevel::Floating, Qt::WindowStaysOnTopHint}, std::pair{WindowLevel::Panel, Qt::WindowStaysOnTopHint},
              std::pair{WindowLevel::Normal, Qt::WindowType(0)}, std::pair{WindowLevel::Desktop, Qt::WindowStaysOnBottomHint}}) {
            m_windowing->setLevel(&window, level);
            QCOMPARE(m_windowing->level(&window), level);
            QCOMPARE(handle->flags() & (Qt::WindowStaysOnTopHint | Qt::WindowStaysOnBottomHint), Qt::WindowFlags(stacking));
            QVERIFY(handle->flags() & Qt::FramelessWindowHint);
            QCOMPARE(window.windowFlags(), handle->flags());
            QVERIFY(window.windowHandle() == handle && window.winId() == id && window.isVisible());
        }
        m_windowing->setClickThrough(&window, false);
        QVERIFY(!(handle->flags() & Qt::WindowTransparentForInput) && !m_windowing->isClickThrough(&window));
        m_windowing->setClickThrough(&window, true);
        QVERIFY(handle->flags() & Qt::WindowTransparentForInput);
        QCOMPARE(window.windowHandle(), handle.data());
        QVERIFY(handle->flags() & Qt::WindowStaysOnBottomHint); // nothing else lost
    }
};

QTEST_MAIN(TestDesktopWindowing)
#include "tst_desktopwindowing.moc"
