// Discrete commands on the selected print: the keyboard map, the context menu, copy and
// paste of prints, and dropping image files. Each hands a changed copy of the model out.
#include "app/canvas/CollageView.h"

#include "app/canvas/Manipulation.h"
#include "core/FileNames.h"
#include "core/ImageImporter.h"
#include "core/Log.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMimeDatabase>
#include <QUrl>

#include <cmath>

namespace {

constexpr double adjustAngle = M_PI / 36; // 5 degrees
const QPointF copyOffset(24, -24);        // right and down, in y-up terms

// The key's character as typed without modifiers, lower-cased: Ctrl+Shift+Z gives "z".
QString plainCharacter(const QKeyEvent *event)
{
    const int key = event->key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return QString(QChar(u'a' + (key - Qt::Key_A)));
    switch (key) {
    case Qt::Key_BracketLeft: return QStringLiteral("[");
    case Qt::Key_BracketRight: return QStringLiteral("]");
    case Qt::Key_Plus: return QStringLiteral("+");
    case Qt::Key_Equal: return QStringLiteral("=");
    case Qt::Key_Minus: return QStringLiteral("-");
    case Qt::Key_Underscore: return QStringLiteral("_");
    default: break;
    }
    const QString text = event->text();
    return text.size() == 1 && text.at(0).isPrint() ? text.toLower() : QString();
}

} // namespace

void CollageView::keyPressEvent(QKeyEvent *event)
{
    finishWheelGesture();
    if (event->key() == Qt::Key_Escape) {
        if (onExitEdit)
            onExitEdit();
        return;
    }
    const QString ch = plainCharacter(event);
    const bool command = event->modifiers() & Qt::ControlModifier;
    const bool shift = event->modifiers() & Qt::ShiftModifier;

    if (command && !ch.isEmpty()) {
        if (ch == u"e" && shift) {
            if (onExport)
                onExport();
            return;
        }
        if (ch == u"z") {
            const auto &handler = shift ? onRedo : onUndo;
            if (handler)
                handler();
            return;
        }
        if (ch == u"y") { // the usual Linux redo
            if (onRedo)
                onRedo();
            return;
        }
        if (ch == u"d") {
            if (m_selectedID)
                if (const PhotoItem *item = m_model.find(*m_selectedID))
                    insertCopy(*item, QStringLiteral("Duplicate"));
            return;
        }
        if (ch == u"c") {
            copySelected();
            return;
        }
        if (ch == u"v") {
            paste();
            return;
        }
        if (ch == u"]") {
            reorderSelected(true);
            return;
        }
        if (ch == u"[") {
            reorderSelected(false);
            return;
        }
    }

    if (!m_selectedID) {
        event->ignore();
        return;
    }
    const double step = shift ? 10 : 1;
    switch (event->key()) {
    case Qt::Key_Left: nudgeSelected(-step, 0); return;
    case Qt::Key_Right: nudgeSelected(step, 0); return;
    case Qt::Key_Down: nudgeSelected(0, -step); return;
    case Qt::Key_Up: nudgeSelected(0, step); return;
    case Qt::Key_Backspace:
    case Qt::Key_Delete: deleteSelected(*m_selectedID); return;
    default: break;
    }

    const QString adjust = QStringLiteral("Adjust");
    if (ch == u"c") {
        if (onBeginCrop)
            onBeginCrop(*m_selectedID);
    } else if (ch == u"]") {
        editSelected(adjust, [](PhotoItem &i) { i.rotation += adjustAngle; });
    } else if (ch == u"[") {
        editSelected(adjust, [](PhotoItem &i) { i.rotation -= adjustAngle; });
    } else if (ch == u"+" || ch == u"=") {
        editSelected(adjust, [](PhotoItem &i) { i.size = Manipulation::scaleStep(i.size, true); });
    } else if (ch == u"-" || ch == u"_") {
        editSelected(adjust, [](PhotoItem &i) { i.size = Manipulation::scaleStep(i.size, false); });
    } else {
        event->ignore();
    }
}

void CollageView::editSelected(const QString &actionName, const std::function<void(PhotoItem &)> &change)
{
    if (!m_selectedID)
        return;
    CollageModel copy = m_model;
    copy.update(*m_selectedID, change);
    emitEdit(copy, actionName);
}

void CollageView::nudgeSelected(double dx, double dy)
{
    editSelected(QStringLiteral("Move"), [&](PhotoItem &i) { i.center += QPointF(dx, dy); });
}

void CollageView::rotateSelected(double radians)
{
    editSelected(QStringLiteral("Rotate"), [&](PhotoItem &i) { i.rotation += radians; });
}

void CollageView::ctxStraighten()
{
    editSelected(QStringLiteral("Straighten"), [](PhotoItem &i) { i.rotation = 0; });
}

void CollageView::toggleFlip(bool horizontal)
{
    editSelected(QStringLiteral("Flip"), [&](PhotoItem &i) {
        if (horizontal)
            i.flipH = !i.flipH;
        else
            i.flipV = !i.flipV;
    });
}

void CollageView::reorderSelected(bool toFront)
{
    if (!m_selectedID)
        return;
    CollageModel copy = m_model;
    if (toFront)
        copy.bringToFront(*m_selectedID);
    else
        copy.sendToBack(*m_selectedID);
    emitEdit(copy, toFront ? QStringLiteral("Bring to Front") : QStringLiteral("Send to Back"));
}

void CollageView::stepZ(bool forward)
{
    if (!m_selectedID)
        return;
    CollageModel copy = m_model;
    if (forward)
        copy.bringForward(*m_selectedID);
    else
        copy.sendBackward(*m_selectedID);
    emitEdit(copy, forward ? QStringLiteral("Bring Forward") : QStringLiteral("Send Backward"));
}

void CollageView::deleteSelected(const QUuid &id)
{
    CollageModel copy = m_model;
    copy.remove(id);
    m_selectedID.reset();
    m_hoveredID.reset();
    m_dragMode = ::DragMode::none();
    emitEdit(copy, QStringLiteral("Delete"));
    Log::edit().debug(QStringLiteral("deleted photo"));
}

void CollageView::copySelected()
{
    if (!m_selectedID)
        return;
    m_copyBuffer = m_model[*m_selectedID];
    m_copyBufferDir = m_imageBaseDir;
}

void CollageView::paste()
{
    if (!m_copyBuffer) {
        if (onPasteFromClipboard)
            onPasteFromClipboard();
        return;
    }
    PhotoItem item = *m_copyBuffer;
    if (const std::optional<QString> name = pastedFileName(item)) {
        item.imageFileName = *name;
        insertCopy(item, QStringLiteral("Paste"));
    }
}

std::optional<QString> CollageView::pastedFileName(const PhotoItem &item) const
{
    // A print copied in another collage shows a file of that collage's folder; this
    // collage gets a copy of its own so that its folder stays complete.
    if (!m_copyBufferDir || !m_imageBaseDir || *m_copyBufferDir == *m_imageBaseDir
        || !FileNames::isPlainComponent(item.imageFileName))
        return item.imageFileName;
    const QString source = QDir(*m_copyBufferDir).filePath(item.imageFileName);
    if (!QFileInfo::exists(source)) {
        // The copied-from folder was renamed with its collage: this one may hold the file.
        if (QFileInfo::exists(QDir(*m_imageBaseDir).filePath(item.imageFileName)))
            return item.imageFileName;
        Log::edit().error(QStringLiteral("paste failed: %1 is gone").arg(source));
        return std::nullopt;
    }
    const Expected<PhotoItem> copied = ImageImporter(*m_imageBaseDir).importImage(source, item.center, item.size);
    if (!copied) {
        Log::edit().error(QStringLiteral("paste failed: %1").arg(copied.error().message));
        return std::nullopt;
    }
    return copied->imageFileName;
}

void CollageView::insertCopy(const PhotoItem &item, const QString &actionName)
{
    PhotoItem copy = item;
    copy.id = QUuid::createUuid();
    copy.center += copyOffset;
    CollageModel model = m_model;
    model.add(copy);
    m_selectedID = copy.id;
    emitEdit(model, actionName);
}

QMenu *CollageView::buildContextMenu()
{
    auto *menu = new QMenu(this);
    const auto add = [&](const QString &title, auto slot) {
        QAction *action = menu->addAction(title);
        connect(action, &QAction::triggered, this, slot);
    };
    add(QStringLiteral("Bring to Front"), [this] { reorderSelected(true); });
    add(QStringLiteral("Bring Forward"), [this] { stepZ(true); });
    add(QStringLiteral("Send Backward"), [this] { stepZ(false); });
    add(QStringLiteral("Send to Back"), [this] { reorderSelected(false); });
    menu->addSeparator();
    add(QStringLiteral("Crop…"), [this] {
        if (m_selectedID && onBeginCrop)
            onBeginCrop(*m_selectedID);
    });
    add(QStringLiteral("Rotate Left"), [this] { rotateSelected(M_PI / 2); });
    add(QStringLiteral("Rotate Right"), [this] { rotateSelected(-M_PI / 2); });
    add(QStringLiteral("Straighten"), [this] { ctxStraighten(); });
    menu->addSeparator();
    add(QStringLiteral("Flip Horizontal"), [this] { toggleFlip(true); });
    add(QStringLiteral("Flip Vertical"), [this] { toggleFlip(false); });
    menu->addSeparator();
    add(QStringLiteral("Duplicate"), [this] {
        if (m_selectedID)
            if (const PhotoItem *item = m_model.find(*m_selectedID))
                insertCopy(*item, QStringLiteral("Duplicate"));
    });
    add(QStringLiteral("Delete"), [this] {
        if (m_selectedID)
            deleteSelected(*m_selectedID);
    });
    return menu;
}

void CollageView::contextMenuEvent(QContextMenuEvent *event)
{
    const std::optional<QUuid> hit = hitTestItem(collagePoint(event->pos()));
    if (!hit) {
        event->ignore();
        return;
    }
    m_selectedID = hit;
    updateChrome();
    QMenu *menu = buildContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

QList<QString> CollageView::droppedImageFiles(const QMimeData *mime) const
{
    QList<QString> files;
    if (!mime || !mime->hasUrls())
        return files;
    const QMimeDatabase types;
    for (const QUrl &url : mime->urls()) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (types.mimeTypeForFile(path).name().startsWith(QLatin1String("image/")))
            files.append(path);
    }
    return files;
}

bool CollageView::acceptsDrop(const QMimeData *mime) const
{
    return m_isEditing && !droppedImageFiles(mime).isEmpty();
}

void CollageView::dragEnterEvent(QDragEnterEvent *event)
{
    // Outside editing the window is click-through and nothing may be dropped.
    if (m_isEditing && event->mimeData()->hasUrls()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CollageView::dragMoveEvent(QDragMoveEvent *event)
{
    if (m_isEditing) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CollageView::dropEvent(QDropEvent *event)
{
    const QList<QString> files = m_isEditing ? droppedImageFiles(event->mimeData()) : QList<QString>();
    if (files.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (onDropImage)
        onDropImage(files, collagePoint(event->position()));
}
