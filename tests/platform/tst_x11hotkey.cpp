// The global shortcut on a real X server of the test's own (Xvfb picks a free display, so that
// parallel runs never meet), typed with xdotool; without Xvfb or xdotool the test is skipped.
#include "platform/hotkey/X11GlobalHotKey.h"
#include "support/XvfbServer.h"

#include <QtTest>

static QString g_skipped;
using Result = GlobalHotKey::Result;
const HotKeyBinding ctrlAltE;

static bool xdotool(const QString &args)
{
    return QProcess::execute(QStringLiteral("xdotool"), args.split(QLatin1Char(' '))) == 0;
}

// Counts the key presses the server sends the application, before anything filters them.
struct PressCounter : QAbstractNativeEventFilter {
    int presses = 0;
    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        presses += (static_cast<xcb_generic_event_t *>(message)->response_type & 0x7f) == XCB_KEY_PRESS;
        return false;
    }
};

class TestX11HotKey : public QObject {
    Q_OBJECT

private:
    X11GlobalHotKey m_hotKey;
    PressCounter m_counter;

private slots:
    void initTestCase()
    {
        if (!g_skipped.isEmpty())
            QSKIP(qPrintable(g_skipped));
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        // The counter goes in after the hot key's own filter, so that it sees every event first.
        QCOMPARE(m_hotKey.registerBinding(ctrlAltE), Result::Registered);
        qApp->installNativeEventFilter(&m_counter);
    }

    void cleanup() { m_hotKey.unregister(); }

    // Caps Lock and Num Lock change nothing; other modifiers with the same key are no shortcut.
    void firesOnceWhateverTheLocks()
    {
        for (const QString locks : {"", "Caps_Lock", "Num_Lock", "Caps_Lock Num_Lock"}) {
            QCOMPARE(m_hotKey.registerBinding(ctrlAltE), Result::Registered);
            QSignalSpy pressed(&m_hotKey, &GlobalHotKey::pressed);
            const int before = m_counter.presses;
            const QString toggle = locks.isEmpty() ? QString() : QStringLiteral(" key ") + locks;
            QVERIFY(xdotool(QStringLiteral("key ctrl+e key ctrl+alt+shift+e key alt+e") + toggle));
            QVERIFY(xdotool(QStringLiteral("key ctrl+alt+e") + toggle)); // and the locks go off again
            QTRY_COMPARE(pressed.count(), 1);
            QCOMPARE(m_counter.presses - before, 1);
        }
        // Holding the keys down (the server repeating the press) is one press.
        QSignalSpy pressed(&m_hotKey, &GlobalHotKey::pressed);
        const int before = m_counter.presses;
        QVERIFY(xdotool(QStringLiteral("keydown ctrl+alt+e keydown e keydown e")));
        QTRY_VERIFY(m_counter.presses - before >= 3); // more when the server's own repeat starts
        QVERIFY(xdotool(QStringLiteral("keyup e keyup ctrl+alt key ctrl+alt+e")));
        QTRY_COMPARE(pressed.count(), 2);
    }

    void anotherBindingOrProgram()
    {
        QCOMPARE(m_hotKey.registerBinding({96, HotKeyBinding::superBit | HotKeyBinding::shiftBit, {}}), Result::Registered);
        QSignalSpy pressed(&m_hotKey, &GlobalHotKey::pressed);
        QVERIFY(xdotool(QStringLiteral("key ctrl+alt+e key super+shift+F5")));
        QTRY_COMPARE(pressed.count(), 1);
        m_hotKey.unregister();
        QVERIFY(!m_hotKey.isRegistered());
        const int before = m_counter.presses;
        QVERIFY(xdotool(QStringLiteral("key super+shift+F5 key ctrl+alt+e")));
        QTest::qWait(300);
        QCOMPARE(pressed.count() * 100 + m_counter.presses - before, 100); // the grabs are gone
        for (const HotKeyBinding &unusable : {HotKeyBinding{10, 0x100, {}}, HotKeyBinding{14, 0, {}}, HotKeyBinding{14, 0x10000, {}}})
            QCOMPARE(m_hotKey.registerBinding(unusable), Result::Failed);

        // Another program holding the combination, even only with Caps Lock on, leaves nothing taken.
        QSignalSpy whileHeld(&m_hotKey, &GlobalHotKey::pressed);
        for (const auto theirLocks : {uint16_t(0), uint16_t(XCB_MOD_MASK_LOCK)}) {
            xcb_connection_t *other = xcb_connect(nullptr, nullptr);
            const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
            // Under Xvfb's keymap E is key code 26 and Alt is Mod1.
            const auto mods = uint16_t(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | theirLocks);
            xcb_generic_error_t *error = xcb_request_check(
                other, xcb_grab_key_checked(other, 0, root, mods, 26, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
            QVERIFY(!error);
            QCOMPARE(m_hotKey.registerBinding(ctrlAltE), Result::InUse);
            QVERIFY(!m_hotKey.isRegistered());
            QVERIFY(xdotool(QStringLiteral("key ctrl+alt+e")));
            QTest::qWait(300);
            QCOMPARE(whileHeld.count(), 0);
            xcb_disconnect(other);
        }
        QTRY_COMPARE(m_hotKey.registerBinding(ctrlAltE), Result::Registered);
        QVERIFY(xdotool(QStringLiteral("key ctrl+alt+e")));
        QTRY_COMPARE(whileHeld.count(), 1);
    }
};

int main(int argc, char **argv)
{
    XvfbServer xvfb;
    for (const char *tool : {"Xvfb", "xdotool"})
        if (g_skipped.isEmpty() && QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            g_skipped = QLatin1String(tool) + QLatin1String(" is not installed");
    if (g_skipped.isEmpty())
        if (const QString problem = xvfb.start(QStringLiteral("640x480x24")); !problem.isEmpty())
            qFatal("%s", qPrintable(problem));
    qputenv("QT_QPA_PLATFORM", g_skipped.isEmpty() ? "xcb" : "offscreen");
    QGuiApplication app(argc, argv);
    TestX11HotKey test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_x11hotkey.moc"
