#pragma once

#include "core/CollageModel.h"

#include <QGraphicsView>
#include <QPointF>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

// The per-screen canvas: draws one CollageModel as framed prints and turns input into
// new models handed out through onEdit. It never writes the library itself.
// Public surface used by the desktop controller; the canvas engineers own the rest.
class CollageView : public QGraphicsView {
    Q_OBJECT
public:
    explicit CollageView(QWidget *parent = nullptr);
    ~CollageView() override;

    // State the controller sets.
    const CollageModel &model() const;
    void setModel(const CollageModel &model);
    const std::optional<QString> &imageBaseDir() const;
    void setImageBaseDir(const std::optional<QString> &dir);
    bool isEditing() const;
    void setEditing(bool editing);
    QPointF screenOrigin() const;
    void setScreenOrigin(QPointF origin);

    std::optional<QUuid> selectedID() const;
    void setSelectedID(const std::optional<QUuid> &id);
    std::optional<QUuid> hoveredID() const;
    void setHoveredID(const std::optional<QUuid> &id);

    // Operations the controller calls.
    void rebuild();
    void applyModelToLayers(bool animated);
    void updateChrome();
    void hideChrome();
    void updateEmptyHint();
    // Selection, hover, drag state, chrome, guides and measurement panel all reset.
    void clearSelection();

    // Callbacks out; a missing one makes its command do nothing.
    std::function<void(const QString &filePath, QPointF point)> onDropImage;
    std::function<void(const CollageModel &model, const QString &actionName)> onEdit;
    std::function<void()> onUndo;
    std::function<void()> onRedo;
    std::function<void()> onPasteFromClipboard;
    std::function<void(const QUuid &id)> onBeginCrop;
    std::function<void()> onExitEdit;
};
