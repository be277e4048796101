#include "platform/fake/MemoryPreferences.h"
#include "platform/hotkey/HotKeyBinding.h"

#include <QtTest>

#include <X11/keysym.h>

using Capture = HotKeyBinding::Capture;

namespace QTest {
template <>
char *toString(const HotKeyBinding &b)
{
    return qstrdup(qPrintable(QStringLiteral("%1/%2/%3").arg(b.keyCode).arg(b.modifiers).arg(b.display)));
}
} // namespace QTest

class TestHotKeyBinding : public QObject {
    Q_OBJECT

private slots:
    // Each stored value falls back to its default on its own; the text is never worked out anew.
    void storedPreferenceAndModifiers()
    {
        struct Row { QVariant code, mask, display; HotKeyBinding expected; };
        const Row rows[] = {{{}, {}, {}, {14, 2304, "Ctrl+Alt+E"}}, {"40", 768, "Ctrl+Shift+K", {40, 768, "Ctrl+Shift+K"}},
                            {-1, qint64(1) << 32, {}, {}}, {2.5, "Ctrl", 7, {}}, {40, 256, {}, {40, 256, "Ctrl+Alt+E"}},
                            {qint64(4294967295), 0, {}, {4294967295u, 0, "Ctrl+Alt+E"}}};
        for (const Row &row : rows) {
            MemoryPreferences prefs;
            for (const auto &[key, value] : {std::pair("hotkey.keyCode", row.code), {"hotkey.carbonModifiers", row.mask},
                                             {"hotkey.display", row.display}})
                if (value.isValid())
                    prefs.setRawValue(QLatin1String(key), value);
            QCOMPARE(HotKeyBinding::fromPreferences(prefs), row.expected);
            row.expected.store(prefs);
            QCOMPARE(HotKeyBinding::fromPreferences(prefs), row.expected);
        }

        struct Mods { quint32 mask; Qt::KeyboardModifiers qt; const char *prefix; };
        const Mods mods[] = {
            {0x100, Qt::ControlModifier, "Ctrl+"}, {0x800, Qt::AltModifier, "Alt+"}, {0x1000, Qt::MetaModifier, "Super+"},
            {0x200, Qt::ShiftModifier, "Shift+"}, {0x900, Qt::ControlModifier | Qt::AltModifier, "Ctrl+Alt+"},
            {0x1b00, Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier | Qt::ShiftModifier, "Super+Ctrl+Alt+Shift+"},
            {0, {}, ""}};
        for (const Mods &m : mods) {
            QCOMPARE(HotKeyBinding::qtModifiers(m.mask), m.qt);
            QCOMPARE(HotKeyBinding::mask(m.qt), m.mask);
            QCOMPARE(HotKeyBinding::displayPrefix(m.mask), QLatin1String(m.prefix));
        }
        // Bits of no modifier, and Qt's keypad flag, are left out.
        QCOMPARE(HotKeyBinding::qtModifiers(0x900 | 0x10000 | 0x400 | 0xff), Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(HotKeyBinding::mask(Qt::ShiftModifier | Qt::KeypadModifier | Qt::GroupSwitchModifier), 0x200u);
        QCOMPARE((HotKeyBinding{300, 0x100, {}}).combinationText(), QStringLiteral("Ctrl+key 300"));
    }

    void keyTableAndRecording()
    {
        const std::tuple<quint32, quint32, const char *> rows[] = {
            {14, XK_e, "E"}, {6, XK_z, "Z"}, {29, XK_0, "0"}, {49, XK_space, "Space"}, {117, XK_Delete, "Del"},
            {114, XK_Insert, "Ins"}, {50, XK_grave, "`"}, {82, XK_KP_0, "Num+0"}, {53, XK_Escape, "Esc"},
            {10, 0, ""}, {52, 0, ""}, {4294967295u, 0, ""}};
        for (const auto &[code, keysym, name] : rows)
            QVERIFY(HotKeyBinding::keysym(code) == keysym && HotKeyBinding::keyName(code) == QString::fromUtf8(name));
        const quint32 functionKeys[] = {122, 120, 99, 118, 96, 97, 98, 100, 101, 109, 103, 111, 105, 107, 113, 106, 64, 79, 80, 90};
        for (int i = 0; i < 20; ++i)
            QCOMPARE(HotKeyBinding::keysym(functionKeys[i]), quint32(XK_F1 + i));

        // Every key of the table can be recorded, and what is recorded names that key.
        QList<std::pair<int, bool>> keys; // Qt key, on the keypad
        for (int k = Qt::Key_0; k <= Qt::Key_9; ++k)
            keys << std::pair(k, false) << std::pair(k, true);
        for (int k = Qt::Key_A; k <= Qt::Key_Z; ++k)
            keys << std::pair(k, false);
        for (int k = Qt::Key_F1; k <= Qt::Key_F20; ++k)
            keys << std::pair(k, false);
        for (Qt::Key k : {Qt::Key_Equal, Qt::Key_Minus, Qt::Key_BracketRight, Qt::Key_BracketLeft, Qt::Key_Apostrophe,
                          Qt::Key_Semicolon, Qt::Key_Backslash, Qt::Key_Comma, Qt::Key_Slash, Qt::Key_Period, Qt::Key_QuoteLeft,
                          Qt::Key_Return, Qt::Key_Tab, Qt::Key_Space, Qt::Key_Backspace, Qt::Key_Insert, Qt::Key_Delete,
                          Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Left, Qt::Key_Right,
                          Qt::Key_Down, Qt::Key_Up})
            keys << std::pair(int(k), false);
        for (Qt::Key k : {Qt::Key_Period, Qt::Key_Asterisk, Qt::Key_Plus, Qt::Key_Slash, Qt::Key_Enter, Qt::Key_Minus, Qt::Key_Equal})
            keys << std::pair(int(k), true);
        QSet<quint32> recorded;
        for (const auto &[key, keypad] : keys) {
            const QKeyEvent event(QEvent::KeyPress, key, Qt::ControlModifier | (keypad ? Qt::KeypadModifier : Qt::NoModifier));
            const HotKeyBinding::Recorded r = HotKeyBinding::fromKeyEvent(event);
            QCOMPARE(int(r.outcome), int(Capture::Accepted));
            QCOMPARE(r.binding.display, QStringLiteral("Ctrl+") + HotKeyBinding::keyName(r.binding.keyCode));
            recorded.insert(r.binding.keyCode);
        }
        QCOMPARE(recorded.size(), 98); // every key of the table but Escape, which cancels

        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, alt = Qt::AltModifier, shift = Qt::ShiftModifier,
                                    keypad = Qt::KeypadModifier, meta = Qt::MetaModifier;
        struct Row { int key; Qt::KeyboardModifiers mods; Capture outcome; HotKeyBinding binding; };
        const Row cases[] = {
            {Qt::Key_K, ctrl | shift, Capture::Accepted, {40, 0x300, "Ctrl+Shift+K"}},
            {Qt::Key_E, meta | alt, Capture::Accepted, {14, 0x1800, "Super+Alt+E"}},
            {Qt::Key_A, shift, Capture::Accepted, {0, 0x200, "Shift+A"}}, // Shift alone is enough
            {Qt::Key_Exclam, shift | ctrl, Capture::Accepted, {18, 0x300, "Ctrl+Shift+1"}}, // Shift+1 arrives as "!"
            {Qt::Key_Plus, shift | alt, Capture::Accepted, {24, 0xa00, "Alt+Shift+="}},
            {Qt::Key_End, ctrl | keypad, Capture::Accepted, {119, 0x100, "Ctrl+End"}}, // keypad 1, Num Lock off
            {Qt::Key_K, {}, Capture::NoModifier, {}}, {Qt::Key_5, keypad, Capture::NoModifier, {}},
            {Qt::Key_Escape, {}, Capture::Cancelled, {}}, {Qt::Key_Escape, ctrl | alt, Capture::Cancelled, {}},
            {Qt::Key_Control, ctrl, Capture::ModifierOnly, {}}, {Qt::Key_Super_L, meta, Capture::ModifierOnly, {}},
            {Qt::Key_Print, ctrl, Capture::UnknownKey, {}}};
        for (const Row &row : cases) {
            const HotKeyBinding::Recorded r = HotKeyBinding::fromKeyEvent(QKeyEvent(QEvent::KeyPress, row.key, row.mods));
            QCOMPARE(int(r.outcome), int(row.outcome));
            if (r.outcome == Capture::Accepted)
                QCOMPARE(r.binding, row.binding);
        }
    }
};

QTEST_GUILESS_MAIN(TestHotKeyBinding)
#include "tst_hotkeybinding.moc"
