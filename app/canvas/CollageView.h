#pragma once

#include "app/canvas/ChromeStyle.h"
#include "app/canvas/DragMode.h"
#include "app/canvas/PhotoDecoder.h"
#include "app/canvas/PrintGeometry.h"
#include "app/canvas/RecentPhotos.h"
#include "app/canvas/RevealPacing.h"
#include "core/CollageModel.h"

#include <QGraphicsView>
#include <QHash>
#include <QPointF>
#include <QStringList>
#include <QString>
#include <QUuid>

#include <array>
#include <functional>
#include <optional>

class CaptionItem;
class EmptyHintItem;
class HandleItem;
class OutlineItem;
class PinItem;
class PrintItem;
class PrintPhotoItem;
class QGraphicsPathItem;
class QLabel;
class QMenu;
class QMimeData;
class QTimer;

// Inside this class `DragMode` names QGraphicsView::DragMode: the canvas's own is ::DragMode.
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
    std::function<void(const QStringList &files, QPointF point)> onDropImage;
    std::function<void(const CollageModel &model, const QString &actionName)> onEdit;
    std::function<void()> onUndo;
    std::function<void()> onRedo;
    std::function<void()> onPasteFromClipboard;
    std::function<void()> onExport; // Ctrl+Shift+E
    std::function<void(const QUuid &id)> onBeginCrop;
    std::function<void()> onExitEdit;

    // Prints.
    // Brings one print in line with its model item; the chrome follows when it is the target.
    void syncLayer(const QUuid &id, bool animated);
    static void layoutCaption(CaptionItem *caption, QSizeF photoSize);
    const QHash<QUuid, PrintItem *> &layersByID() const { return m_layersByID; }
    const QHash<QUuid, PrintPhotoItem *> &contentByID() const { return m_contentByID; }
    const QHash<QUuid, PinItem *> &pinByID() const { return m_pinByID; }
    const QHash<QUuid, CaptionItem *> &captionByID() const { return m_captionByID; }
    // The crop each print's image was last requested for.
    const QHash<QUuid, QRectF> &croppedByID() const { return m_croppedByID; }
    // The parent of all prints and of the chrome; maps collage coordinates onto the scene.
    QGraphicsItem *contentLayer() const { return m_contentLayer; }
    // Print ids bottom first, as stacked on the content layer.
    const QList<QUuid> &stacking() const { return m_stacking; }

    // Coordinates: a view (= scene) point to collage coordinates and back.
    PrintGeometry::CanvasCoords coords() const;
    QPointF collagePoint(QPointF viewPoint) const;

    // Selection chrome and hit testing, in collage coordinates.
    std::optional<QUuid> hitTestItem(QPointF point) const;
    ::DragMode handleAt(QPointF point, const PhotoItem &item) const;
    static std::array<QPointF, 4> cornerWorld(const PhotoItem &item);
    static QPointF topMidWorld(const PhotoItem &item);
    static QPointF rotateHandleWorld(const PhotoItem &item);
    // Re-reads the accent colour and the increased-contrast setting.
    void applyChromeColors();
    const ChromeStyle &chromeStyle() const { return m_chromeStyle; }
    OutlineItem *chromeOutline() const { return m_chromeOutline; }
    QGraphicsPathItem *rotateLine() const { return m_rotateLine; }
    HandleItem *rotateHandle() const { return m_rotateHandle; }
    const std::array<HandleItem *, 4> &cornerHandles() const { return m_cornerHandles; }
    QGraphicsPathItem *guideV() const { return m_guideV; }
    QGraphicsPathItem *guideH() const { return m_guideH; }
    EmptyHintItem *emptyHint() const { return m_emptyHint; }
    QWidget *hudView() const { return m_hudView; }
    QLabel *hudText() const { return m_hudText; }
    ::DragMode dragMode() const { return m_dragMode; }

    // Image decoding, for diagnostics and tests.
    quint64 decodeCount() const { return m_decoder->submittedCount(); }
    int pendingDecodes() const { return m_decoder->inFlight(); }
    // Bytes held by the images the prints show.
    qint64 decodedImageBytes() const;
    // New prints still hidden, waiting for their frame.
    int pendingReveals() const { return m_reveal.pendingCount(); }

    static constexpr double handleSize = PrintGeometry::handleSize;
    static constexpr double rotateOffset = PrintGeometry::rotateOffset;
    static constexpr double hitRadius = PrintGeometry::hitRadius;
    static constexpr double snapThreshold = 8.0;

signals:
    // A print's photo arrived from the decoder, or turned out unreadable.
    void imageSettled(const QUuid &id);

public:
    // Direct manipulation, in collage coordinates.
    QPointF snapCenter(QPointF proposed, const QUuid &itemID, QSizeF frame);
    void showHUD(const QString &text, const QUuid &id);
    std::optional<PhotoItem> copyBuffer() const { return m_copyBuffer; }

    // Commands on the selected print; each does nothing without a selection.
    void reorderSelected(bool toFront);
    void stepZ(bool forward);
    void deleteSelected(const QUuid &id);
    void toggleFlip(bool horizontal);
    void rotateSelected(double radians);
    void ctxStraighten();
    void nudgeSelected(double dx, double dy);
    void copySelected();
    void paste();
    void insertCopy(const PhotoItem &item, const QString &actionName);
    // The context menu for the current selection; the caller owns it.
    QMenu *buildContextMenu();
    // Drops are accepted only while editing, and only for image files.
    bool acceptsDrop(const QMimeData *mime) const;

protected:
    bool viewportEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    // What a print's photo was last asked for, to tell fresh answers from stale ones.
    struct ImageSlot {
        quint64 generation = 0;
        QString fileName;
        QString baseDir;
        QRectF crop;
        bool inFlight = false;
        bool fullDetail = false;
        bool shown = false;      // an image has been shown
        bool afterCrop = false;  // the request followed a crop change
        QSize decodedSize;
    };

    void setupChrome();
    void warmUpPainting();
    PrintItem *makeLayer(const PhotoItem &item);
    void requestImage(const PhotoItem &item, bool afterCrop);
    void requestSharperIfNeeded(const PhotoItem &item);
    void imageDecoded(const PhotoDecoder::Result &result);
    QSizeF targetPixels(QSizeF photoSize) const;
    void showPrints(const QList<QUuid> &ids);
    void updateSceneGeometry();
    void updateCursor(QPointF point);

    void mouseDown(QPointF point, Qt::KeyboardModifiers modifiers);
    void mouseDragged(QPointF point, Qt::KeyboardModifiers modifiers);
    void mouseUp(QPointF point);
    void endInteraction();
    // Pinch and rotate from touchpad gestures, and the stepwise pinch of Ctrl+wheel.
    void beginGesture();
    void magnifyGesture(double magnification);
    void rotateGesture(double radians);
    void endGesture();
    // Ends a Ctrl+wheel pinch still waiting for its pause, so it is reported before new input.
    void finishWheelGesture();
    // Applies a change to the selected item on a copy of the model and hands it out.
    void editSelected(const QString &actionName, const std::function<void(PhotoItem &)> &change);
    void emitEdit(const CollageModel &model, const QString &actionName);
    QList<QString> droppedImageFiles(const QMimeData *mime) const;
    // The copy buffer's file as seen from this collage, copied over when it lives elsewhere;
    // nothing when it cannot be had.
    std::optional<QString> pastedFileName(const PhotoItem &item) const;

    CollageModel m_model;
    QHash<QUuid, PrintItem *> m_layersByID;
    QHash<QUuid, PrintPhotoItem *> m_contentByID;
    QHash<QUuid, PinItem *> m_pinByID;
    QHash<QUuid, CaptionItem *> m_captionByID;
    QHash<QUuid, QRectF> m_croppedByID;
    QHash<QUuid, ImageSlot> m_imageSlots;
    QList<QUuid> m_stacking;
    QPointF m_screenOrigin;
    QGraphicsItem *m_contentLayer = nullptr;
    std::optional<QString> m_imageBaseDir;

    std::optional<PhotoItem> m_copyBuffer;
    std::optional<QString> m_copyBufferDir;
    std::optional<QUuid> m_selectedID;
    std::optional<QUuid> m_hoveredID;
    // Drag and gesture state, driven by the pointer and trackpad handlers.
    QPointF m_dragStart;
    QPointF m_dragOrigin;
    QSizeF m_gestureBaseSize;
    double m_gestureBaseRotation = 0.0;
    ::DragMode m_dragMode;
    QSizeF m_baseSize;
    double m_baseRotation = 0.0;
    QPointF m_baseCenter;
    QPointF m_baseAnchor;
    std::optional<CollageModel> m_preEditModel;
    // Gesture totals since the gesture began; a wheel pinch ends after a pause.
    double m_gestureMagnification = 0.0;
    double m_gestureRotation = 0.0;
    bool m_gestureScaled = false;
    bool m_gestureActive = false;
    QTimer *m_wheelPause = nullptr;
    bool m_leftButtonDown = false;

    OutlineItem *m_chromeOutline = nullptr;
    QGraphicsPathItem *m_rotateLine = nullptr;
    HandleItem *m_rotateHandle = nullptr;
    std::array<HandleItem *, 4> m_cornerHandles{};
    QGraphicsPathItem *m_guideV = nullptr;
    QGraphicsPathItem *m_guideH = nullptr;
    QWidget *m_hudView = nullptr;
    QLabel *m_hudText = nullptr;
    std::optional<double> m_lastVLine;
    std::optional<double> m_lastHLine;
    std::optional<int> m_lastRotStep;
    EmptyHintItem *m_emptyHint = nullptr;
    bool m_isEditing = false;

    RecentPhotos m_recentPhotos{96 * 1024};

    RevealPacing m_reveal;
    bool m_revealQueued = false;

    ChromeStyle m_chromeStyle;
    PhotoDecoder *m_decoder;
    quint64 m_generation = 0;
};
