#pragma once

#include "platform/hotkey/HotKeyBinding.h"

#include <QObject>

// One key combination taken system-wide, whichever application has the keyboard. At most one
// is held at a time: registering another lets the previous one go first. Used on the GUI
// thread; pressed() comes from the event loop.
class GlobalHotKey : public QObject {
    Q_OBJECT
public:
    enum class Result {
        Registered,
        InUse,  // another program holds the combination
        Failed, // no such key on this keyboard, no X server, …
    };

    ~GlobalHotKey() override;

    virtual Result registerBinding(const HotKeyBinding &binding) = 0;
    virtual void unregister() = 0;
    virtual bool isRegistered() const = 0;

signals:
    // Once per press; holding the keys down does not repeat it.
    void pressed();

protected:
    explicit GlobalHotKey(QObject *parent = nullptr) : QObject(parent) {}
};
