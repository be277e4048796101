#pragma once

#include "platform/preferences/PreferenceKeys.h"

#include <QString>
#include <Qt>

class Preferences;
class QKeyEvent;

// The editing shortcut as the preferences keep it. Keys are numbered by their place on a US
// keyboard (E is 14, Escape 53), the numbering the stored shortcut has always used; the
// modifier mask has one bit per modifier. The display text is stored with them and never
// recomputed, so a hand-edited code keeps whatever text was stored beside it.
struct HotKeyBinding {
    static constexpr quint32 ctrlBit = 0x100;
    static constexpr quint32 shiftBit = 0x200;
    static constexpr quint32 altBit = 0x800;
    static constexpr quint32 superBit = 0x1000;
    static constexpr quint32 escapeKeyCode = 53;

    quint32 keyCode = PreferenceKeys::hotkeyKeyCode.defaultValue;
    quint32 modifiers = PreferenceKeys::hotkeyCarbonModifiers.defaultValue;
    QString display = PreferenceKeys::hotkeyDisplay.defaultValue;

    bool operator==(const HotKeyBinding &) const = default;

    // Each value falls back to its default on its own when absent or unreadable.
    static HotKeyBinding fromPreferences(const Preferences &prefs);
    void store(Preferences &prefs) const;

    // The X keysym of the key with that code; 0 when no key has it.
    static quint32 keysym(quint32 keyCode);
    // The key as the desktop names it ("E", "F5", "Space"); empty when no key has the code.
    static QString keyName(quint32 keyCode);

    // Bits outside the four modifiers are ignored.
    static Qt::KeyboardModifiers qtModifiers(quint32 mask);
    static quint32 mask(Qt::KeyboardModifiers modifiers);
    // "Super+Ctrl+Alt+Shift+" for as many of them as the mask holds.
    static QString displayPrefix(quint32 mask);
    // The combination the code and mask name, for messages: unlike display, always current.
    QString combinationText() const;

    // A key press offered to the shortcut recorder.
    enum class Capture {
        Accepted,
        Cancelled,    // Escape
        NoModifier,   // a plain key is no shortcut; Shift alone is enough
        UnknownKey,   // a key the stored numbering has no code for
        ModifierOnly, // the modifier itself going down: keep waiting
    };
    struct Recorded;
    static Recorded fromKeyEvent(const QKeyEvent &event);
};

struct HotKeyBinding::Recorded {
    Capture outcome;
    HotKeyBinding binding; // meaningful when Accepted
};
