#include "app/controller/ApplyCommand.h"

#include "app/controller/CollageHistory.h"

ApplyCommand::ApplyCommand(const CollageHistory *history, CollageModel before, CollageModel after,
                           const QString &actionName, Reapply reapply)
    : QUndoCommand(actionName), m_history(history), m_before(std::move(before)),
      m_after(std::move(after)), m_reapply(std::move(reapply))
{
}

void ApplyCommand::undo()
{
    if (!m_reapply)
        return;
    if (std::optional<CollageModel> replaced = m_reapply(m_before, m_history->collageName(), text()))
        m_after = std::move(*replaced);
}

void ApplyCommand::redo()
{
    if (!m_pushed) {
        m_pushed = true;
        return;
    }
    if (!m_reapply)
        return;
    if (std::optional<CollageModel> replaced = m_reapply(m_after, m_history->collageName(), text()))
        m_before = std::move(*replaced);
}
