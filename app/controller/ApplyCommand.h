#pragma once

#include "core/CollageModel.h"

#include <QUndoCommand>

#include <functional>
#include <optional>

class CollageHistory;

// One applied change of a collage. Undo puts back the model the change replaced and keeps
// what it found as the redo state; redo does the converse. Both go back through the
// controller's apply road, so changes made outside the history in between (place names)
// survive a redo.
class ApplyCommand : public QUndoCommand {
public:
    // (model, collage name, action name) -> the model it replaced, or nothing when no
    // collage of that name exists any more.
    using Reapply = std::function<std::optional<CollageModel>(
        const CollageModel &, const QString &, const QString &)>;

    // The change has already been applied when the command is pushed, so the redo that
    // QUndoStack::push performs at once is skipped.
    ApplyCommand(const CollageHistory *history, CollageModel before, CollageModel after,
                 const QString &actionName, Reapply reapply);

    void undo() override;
    void redo() override;

    const CollageModel &before() const { return m_before; }
    const CollageModel &after() const { return m_after; }

private:
    const CollageHistory *m_history;
    CollageModel m_before;
    CollageModel m_after;
    Reapply m_reapply;
    bool m_pushed = false;
};
