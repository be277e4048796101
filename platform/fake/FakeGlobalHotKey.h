#pragma once

#include "platform/hotkey/GlobalHotKey.h"

#include <optional>

// Holds one binding without touching the keyboard; tests decide what registering answers
// and press the combination themselves.
class FakeGlobalHotKey : public GlobalHotKey {
    Q_OBJECT
public:
    explicit FakeGlobalHotKey(QObject *parent = nullptr) : GlobalHotKey(parent) {}

    Result registerBinding(const HotKeyBinding &binding) override
    {
        ++registrations;
        held = answer == Result::Registered ? std::optional(binding) : std::nullopt;
        return answer;
    }
    void unregister() override { held.reset(); }
    bool isRegistered() const override { return held.has_value(); }

    // What a press of the held combination does; false when none is held.
    bool press()
    {
        if (!held)
            return false;
        emit pressed();
        return true;
    }

    Result answer = Result::Registered; // what the next registrations answer
    std::optional<HotKeyBinding> held;
    int registrations = 0;
};
