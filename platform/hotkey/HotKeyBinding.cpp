#include "platform/hotkey/HotKeyBinding.h"

#include "platform/preferences/Preferences.h"

#include <QKeyEvent>

#include <X11/keysym.h>

#include <vector>

namespace {

struct KeyEntry {
    quint32 code;
    quint32 keysym;
    int qtKey;
    bool keypad;
    QString name;
};

const std::vector<KeyEntry> &keyTable()
{
    static const std::vector<KeyEntry> table = [] {
        std::vector<KeyEntry> t;
        const quint32 letters[26] = {0,  11, 8,  2,  14, 3,  5, 4,  34, 38, 40, 37, 46,
                                     45, 31, 35, 12, 15, 1, 17, 32, 9,  13, 7,  16, 6};
        for (int i = 0; i < 26; ++i)
            t.push_back({letters[i], quint32(XK_a + i), Qt::Key_A + i, false, QChar(u'A' + i)});
        const quint32 digits[10] = {29, 18, 19, 20, 21, 23, 22, 26, 28, 25};
        const quint32 keypadDigits[10] = {82, 83, 84, 85, 86, 87, 88, 89, 91, 92};
        for (int i = 0; i < 10; ++i) {
            t.push_back({digits[i], quint32(XK_0 + i), Qt::Key_0 + i, false, QString::number(i)});
            t.push_back({keypadDigits[i], quint32(XK_KP_0 + i), Qt::Key_0 + i, true, QStringLiteral("Num+%1").arg(i)});
        }
        const quint32 functionKeys[20] = {122, 120, 99, 118, 96, 97, 98, 100, 101, 109,
                                          103, 111, 105, 107, 113, 106, 64, 79, 80, 90};
        for (int i = 0; i < 20; ++i)
            t.push_back({functionKeys[i], quint32(XK_F1 + i), Qt::Key_F1 + i, false, QStringLiteral("F%1").arg(i + 1)});
        const KeyEntry rest[] = {
            {24, XK_equal, Qt::Key_Equal, false, QStringLiteral("=")},
            {27, XK_minus, Qt::Key_Minus, false, QStringLiteral("-")},
            {30, XK_bracketright, Qt::Key_BracketRight, false, QStringLiteral("]")},
            {33, XK_bracketleft, Qt::Key_BracketLeft, false, QStringLiteral("[")},
            {39, XK_apostrophe, Qt::Key_Apostrophe, false, QStringLiteral("'")},
            {41, XK_semicolon, Qt::Key_Semicolon, false, QStringLiteral(";")},
            {42, XK_backslash, Qt::Key_Backslash, false, QStringLiteral("\\")},
            {43, XK_comma, Qt::Key_Comma, false, QStringLiteral(",")},
            {44, XK_slash, Qt::Key_Slash, false, QStringLiteral("/")},
            {47, XK_period, Qt::Key_Period, false, QStringLiteral(".")},
            {50, XK_grave, Qt::Key_QuoteLeft, false, QStringLiteral("`")},
            {36, XK_Return, Qt::Key_Return, false, QStringLiteral("Return")},
            {48, XK_Tab, Qt::Key_Tab, false, QStringLiteral("Tab")},
            {49, XK_space, Qt::Key_Space, false, QStringLiteral("Space")},
            {51, XK_BackSpace, Qt::Key_Backspace, false, QStringLiteral("Backspace")},
            {53, XK_Escape, Qt::Key_Escape, false, QStringLiteral("Esc")},
            {114, XK_Insert, Qt::Key_Insert, false, QStringLiteral("Ins")},
            {117, XK_Delete, Qt::Key_Delete, false, QStringLiteral("Del")},
            {115, XK_Home, Qt::Key_Home, false, QStringLiteral("Home")},
            {119, XK_End, Qt::Key_End, false, QStringLiteral("End")},
            {116, XK_Prior, Qt::Key_PageUp, false, QStringLiteral("PgUp")},
            {121, XK_Next, Qt::Key_PageDown, false, QStringLiteral("PgDown")},
            {123, XK_Left, Qt::Key_Left, false, QStringLiteral("Left")},
            {124, XK_Right, Qt::Key_Right, false, QStringLiteral("Right")},
            {125, XK_Down, Qt::Key_Down, false, QStringLiteral("Down")},
            {126, XK_Up, Qt::Key_Up, false, QStringLiteral("Up")},
            {65, XK_KP_Decimal, Qt::Key_Period, true, QStringLiteral("Num+.")},
            {67, XK_KP_Multiply, Qt::Key_Asterisk, true, QStringLiteral("Num+*")},
            {69, XK_KP_Add, Qt::Key_Plus, true, QStringLiteral("Num++")},
            {75, XK_KP_Divide, Qt::Key_Slash, true, QStringLiteral("Num+/")},
            {76, XK_KP_Enter, Qt::Key_Enter, true, QStringLiteral("Num+Enter")},
            {78, XK_KP_Subtract, Qt::Key_Minus, true, QStringLiteral("Num+-")},
            {81, XK_KP_Equal, Qt::Key_Equal, true, QStringLiteral("Num+=")},
        };
        t.insert(t.end(), std::begin(rest), std::end(rest));
        return t;
    }();
    return table;
}

const KeyEntry *entryForCode(quint32 code)
{
    for (const KeyEntry &e : keyTable())
        if (e.code == code)
            return &e;
    return nullptr;
}

// With Shift held Qt reports the shifted symbol; on a US keyboard that names the key too.
int unshifted(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Exclam: return Qt::Key_1;
    case Qt::Key_At: return Qt::Key_2;
    case Qt::Key_NumberSign: return Qt::Key_3;
    case Qt::Key_Dollar: return Qt::Key_4;
    case Qt::Key_Percent: return Qt::Key_5;
    case Qt::Key_AsciiCircum: return Qt::Key_6;
    case Qt::Key_Ampersand: return Qt::Key_7;
    case Qt::Key_Asterisk: return Qt::Key_8;
    case Qt::Key_ParenLeft: return Qt::Key_9;
    case Qt::Key_ParenRight: return Qt::Key_0;
    case Qt::Key_Underscore: return Qt::Key_Minus;
    case Qt::Key_Plus: return Qt::Key_Equal;
    case Qt::Key_BraceLeft: return Qt::Key_BracketLeft;
    case Qt::Key_BraceRight: return Qt::Key_BracketRight;
    case Qt::Key_Bar: return Qt::Key_Backslash;
    case Qt::Key_Colon: return Qt::Key_Semicolon;
    case Qt::Key_QuoteDbl: return Qt::Key_Apostrophe;
    case Qt::Key_Less: return Qt::Key_Comma;
    case Qt::Key_Greater: return Qt::Key_Period;
    case Qt::Key_Question: return Qt::Key_Slash;
    case Qt::Key_AsciiTilde: return Qt::Key_QuoteLeft;
    case Qt::Key_Backtab: return Qt::Key_Tab;
    default: return qtKey;
    }
}

const KeyEntry *entryForQtKey(int qtKey, bool keypad)
{
    for (int key : {qtKey, unshifted(qtKey)})
        for (bool onKeypad : {keypad, false})
            for (const KeyEntry &e : keyTable())
                if (e.qtKey == key && e.keypad == onKeypad)
                    return &e;
    return nullptr;
}

bool isModifierKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Mode_switch:
        return true;
    default:
        return false;
    }
}

} // namespace

HotKeyBinding HotKeyBinding::fromPreferences(const Preferences &prefs)
{
    return {prefs.value(PreferenceKeys::hotkeyKeyCode), prefs.value(PreferenceKeys::hotkeyCarbonModifiers),
            prefs.value(PreferenceKeys::hotkeyDisplay)};
}

void HotKeyBinding::store(Preferences &prefs) const
{
    prefs.setValue(PreferenceKeys::hotkeyKeyCode, keyCode);
    prefs.setValue(PreferenceKeys::hotkeyCarbonModifiers, modifiers);
    prefs.setValue(PreferenceKeys::hotkeyDisplay, display);
}

quint32 HotKeyBinding::keysym(quint32 keyCode)
{
    const KeyEntry *e = entryForCode(keyCode);
    return e ? e->keysym : 0;
}

QString HotKeyBinding::keyName(quint32 keyCode)
{
    const KeyEntry *e = entryForCode(keyCode);
    return e ? e->name : QString();
}

Qt::KeyboardModifiers HotKeyBinding::qtModifiers(quint32 mask)
{
    Qt::KeyboardModifiers m;
    m.setFlag(Qt::ControlModifier, mask & ctrlBit);
    m.setFlag(Qt::ShiftModifier, mask & shiftBit);
    m.setFlag(Qt::AltModifier, mask & altBit);
    m.setFlag(Qt::MetaModifier, mask & superBit);
    return m;
}

quint32 HotKeyBinding::mask(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ControlModifier ? ctrlBit : 0) | (modifiers & Qt::ShiftModifier ? shiftBit : 0)
           | (modifiers & Qt::AltModifier ? altBit : 0) | (modifiers & Qt::MetaModifier ? superBit : 0);
}

QString HotKeyBinding::displayPrefix(quint32 mask)
{
    QString prefix;
    const std::pair<quint32, const char *> order[] = {
        {superBit, "Super+"}, {ctrlBit, "Ctrl+"}, {altBit, "Alt+"}, {shiftBit, "Shift+"}};
    for (const auto &[bit, text] : order)
        if (mask & bit)
            prefix += QLatin1String(text);
    return prefix;
}

QString HotKeyBinding::combinationText() const
{
    const QString name = keyName(keyCode);
    return displayPrefix(modifiers) + (name.isEmpty() ? QStringLiteral("key %1").arg(keyCode) : name);
}

HotKeyBinding::Recorded HotKeyBinding::fromKeyEvent(const QKeyEvent &event)
{
    const int key = event.key();
    if (isModifierKey(key))
        return {Capture::ModifierOnly, {}};
    if (key == Qt::Key_Escape)
        return {Capture::Cancelled, {}};
    const quint32 modifierMask = mask(event.modifiers());
    if (!modifierMask)
        return {Capture::NoModifier, {}};
    const KeyEntry *e = entryForQtKey(key, event.modifiers() & Qt::KeypadModifier);
    if (!e)
        return {Capture::UnknownKey, {}};
    return {Capture::Accepted, {e->code, modifierMask, displayPrefix(modifierMask) + e->name}};
}
