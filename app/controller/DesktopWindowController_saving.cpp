// Debounced saving: the newest snapshot is written after a quiet spell, one write at a time
// on the save queue; termination writes what is still waiting.
#include "app/controller/DesktopWindowController.h"

#include "app/controller/SerialQueue.h"
#include "core/Log.h"

void DesktopWindowController::scheduleSave()
{
    // A value copy: the snapshot shares storage with the library until the next edit.
    m_pendingLibrary = m_library;
    m_saveTimer.start(); // restarting cancels the previous delay
}

void DesktopWindowController::performSave(const Library &snapshot)
{
    m_saveQueue->async([this, store = m_store, snapshot] {
        if (Status saved = store.save(snapshot); !saved)
            Log::store().error(QStringLiteral("save failed: ") + saved.error().message);
        noteWrite();
    });
}

void DesktopWindowController::flushSave()
{
    m_saveTimer.stop();
    if (!m_pendingLibrary) {
        // Nothing waits, but a write already queued must not be cut short by the exit.
        m_saveQueue->drain();
        return;
    }
    Library snapshot = std::move(*m_pendingLibrary);
    m_pendingLibrary.reset();
    m_saveQueue->sync([this, store = m_store, snapshot] {
        store.save(snapshot); // at exit there is no one left to tell
        noteWrite();
    });
}

void DesktopWindowController::runOnSaveQueue(const std::function<void()> &job)
{
    m_saveQueue->sync(job);
}
