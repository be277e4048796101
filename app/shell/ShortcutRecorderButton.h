#pragma once

#include "platform/hotkey/HotKeyBinding.h"

#include <QPushButton>

#include <optional>

// The button that shows the editing shortcut and, once clicked, takes the next key press of
// the application as the new one. While it waits every key press and release of the
// application is its own, so none reaches a window or triggers a menu shortcut. A press of a
// modifier alone keeps it waiting; any other press ends the recording.
class ShortcutRecorderButton : public QPushButton {
    Q_OBJECT
public:
    explicit ShortcutRecorderButton(QWidget *parent = nullptr);
    ~ShortcutRecorderButton() override;

    bool isRecording() const { return m_recording; }
    // Does nothing while a recording runs.
    void startRecording();
    // Ends a running recording without a new shortcut.
    void cancelRecording();

signals:
    void recordingStarted();
    // A key with at least one modifier (Shift alone counts) was pressed.
    void recorded(const HotKeyBinding &binding);
    // After every recording, whatever became of it; after recorded() when there was one.
    void recordingEnded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void finish(const std::optional<HotKeyBinding> &binding);

    bool m_recording = false;
};
