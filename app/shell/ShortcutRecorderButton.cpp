#include "app/shell/ShortcutRecorderButton.h"

#include <QApplication>
#include <QKeyEvent>

ShortcutRecorderButton::ShortcutRecorderButton(QWidget *parent) : QPushButton(parent)
{
    connect(this, &QPushButton::clicked, this, &ShortcutRecorderButton::startRecording);
}

ShortcutRecorderButton::~ShortcutRecorderButton()
{
    if (m_recording)
        qApp->removeEventFilter(this);
}

void ShortcutRecorderButton::startRecording()
{
    if (m_recording)
        return;
    m_recording = true;
    setText(tr("Type shortcut…"));
    qApp->installEventFilter(this);
    emit recordingStarted();
}

void ShortcutRecorderButton::cancelRecording()
{
    if (m_recording)
        finish(std::nullopt);
}

void ShortcutRecorderButton::finish(const std::optional<HotKeyBinding> &binding)
{
    m_recording = false;
    qApp->removeEventFilter(this);
    if (binding)
        emit recorded(*binding);
    emit recordingEnded();
}

bool ShortcutRecorderButton::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Accepted, so no menu or window shortcut fires; the key press follows.
        event->accept();
        return true;
    case QEvent::KeyRelease:
        return true;
    case QEvent::KeyPress: {
        using Capture = HotKeyBinding::Capture;
        const HotKeyBinding::Recorded recorded = HotKeyBinding::fromKeyEvent(*static_cast<QKeyEvent *>(event));
        if (recorded.outcome != Capture::ModifierOnly)
            finish(recorded.outcome == Capture::Accepted ? std::optional(recorded.binding) : std::nullopt);
        return true;
    }
    default:
        return QPushButton::eventFilter(watched, event);
    }
}
