// The prints of CollageView: building them from the model, following model changes and
// fetching their photos off the GUI thread.
#include "app/canvas/CollageView.h"

#include "app/canvas/CaptionItem.h"
#include "app/canvas/ImageLoader.h"
#include "app/canvas/PinItem.h"
#include "app/canvas/PinPalette.h"
#include "app/canvas/PrintItem.h"
#include "app/canvas/PrintPhotoItem.h"
#include "core/FileNames.h"
#include "core/Geometry.h"

#include <QSet>

void CollageView::rebuild()
{
    // Photos whose file and crop stay the same keep their image (or their pending decode):
    // adding or restacking one print must not decode every other one again.
    QHash<QUuid, ImageSlot> previousSlots = std::move(m_imageSlots);
    QHash<QUuid, QImage> previousImages;
    for (auto it = m_contentByID.cbegin(); it != m_contentByID.cend(); ++it) {
        if (it.value()->content() == PrintPhotoItem::Content::image)
            previousImages.insert(it.key(), it.value()->image());
    }

    // Prints already on screen stay; new ones may wait for a later frame.
    QSet<QUuid> onScreen;
    for (auto it = m_layersByID.cbegin(); it != m_layersByID.cend(); ++it) {
        if (it.value()->isVisible())
            onScreen.insert(it.key());
    }
    const bool paced = isVisible();
    QList<QUuid> fresh;
    m_reveal.clear();

    for (PrintItem *frame : std::as_const(m_layersByID))
        delete frame;
    m_layersByID.clear();
    m_contentByID.clear();
    m_pinByID.clear();
    m_captionByID.clear();
    m_croppedByID.clear();
    m_imageSlots.clear();
    m_stacking.clear();

    const QString baseDir = m_imageBaseDir.value_or(QString());
    for (const PhotoItem &drawn : m_model.drawOrder()) {
        if (m_layersByID.contains(drawn.id))
            continue; // a duplicated id gets one print, like every other lookup by id
        const PhotoItem &item = *m_model.find(drawn.id);
        const auto previous = previousSlots.constFind(item.id);
        const bool keep = m_imageBaseDir && previous != previousSlots.cend() && previous->fileName == item.imageFileName
            && exactlyEqual(previous->crop, item.cropRect) && previous->baseDir == baseDir
            && (previous->inFlight || previous->shown);
        if (keep)
            m_imageSlots.insert(item.id, *previous);
        PrintItem *frame = makeLayer(item);
        if (keep && previous->shown)
            frame->photo()->setImage(previousImages.value(item.id));
        if (keep)
            requestSharperIfNeeded(item);
        // Hidden before it joins the scene, so it marks nothing for repainting yet.
        if (paced && !onScreen.contains(item.id)) {
            frame->setVisible(false);
            fresh.append(item.id);
        }
        frame->setParentItem(m_contentLayer);
        m_layersByID.insert(item.id, frame);
        m_stacking.append(item.id);
    }
    showPrints(m_reveal.start(fresh));
    updateChrome();
    updateEmptyHint();
}

void CollageView::showPrints(const QList<QUuid> &ids)
{
    for (const QUuid &id : ids) {
        if (PrintItem *frame = m_layersByID.value(id))
            frame->setVisible(true);
    }
}

PrintItem *CollageView::makeLayer(const PhotoItem &item)
{
    auto *frame = new PrintItem(item.id);
    frame->setPose(PrintGeometry::Pose::of(item));
    frame->setRasterCached(m_isEditing);

    PrintPhotoItem *photo = frame->photo();
    photo->showPlaceholder();
    m_contentByID.insert(item.id, photo);
    m_croppedByID.insert(item.id, item.cropRect);
    if (!m_imageSlots.contains(item.id))
        requestImage(item, false);

    frame->pin()->setColor(PinPalette::colorFor(item.id));
    m_pinByID.insert(item.id, frame->pin());

    CaptionItem *caption = frame->caption();
    caption->setText(item.caption.value_or(QString()));
    layoutCaption(caption, item.size);
    m_captionByID.insert(item.id, caption);
    return frame;
}

void CollageView::layoutCaption(CaptionItem *caption, QSizeF photoSize)
{
    caption->setLayout(PrintGeometry::captionLayout(photoSize));
}

void CollageView::applyModelToLayers(bool animated)
{
    QList<QUuid> order;
    QSet<QUuid> seen;
    for (const PhotoItem &item : m_model.drawOrder()) {
        if (!seen.contains(item.id)) {
            seen.insert(item.id);
            order.append(item.id);
        }
    }
    // Same order means the same set of ids too.
    if (order != m_stacking) {
        rebuild();
        return;
    }
    for (const QUuid &id : std::as_const(m_stacking))
        syncLayer(id, animated);
}

void CollageView::syncLayer(const QUuid &id, bool animated)
{
    const PhotoItem *item = m_model.find(id);
    PrintItem *frame = m_layersByID.value(id);
    if (!item || !frame)
        return;

    const PrintGeometry::Pose pose = PrintGeometry::Pose::of(*item);
    if (animated)
        frame->animateTo(pose);
    else
        frame->setPose(pose);

    const auto cropped = m_croppedByID.constFind(id);
    const auto slot = m_imageSlots.constFind(id);
    const bool cropChanged = cropped == m_croppedByID.cend() || !exactlyEqual(*cropped, item->cropRect);
    const bool fileChanged = slot != m_imageSlots.cend() && slot->fileName != item->imageFileName;
    if ((cropChanged || fileChanged) && m_imageBaseDir) {
        requestImage(*item, true);
        m_croppedByID.insert(id, item->cropRect);
    } else {
        requestSharperIfNeeded(*item);
    }

    if (CaptionItem *caption = m_captionByID.value(id)) {
        if (!animated)
            layoutCaption(caption, item->size);
        caption->setText(item->caption.value_or(QString()));
    }

    const std::optional<QUuid> target = m_selectedID ? m_selectedID : m_hoveredID;
    if (target == id)
        updateChrome();
}

QSizeF CollageView::targetPixels(QSizeF photoSize) const
{
    return photoSize * devicePixelRatioF();
}

void CollageView::requestImage(const PhotoItem &item, bool afterCrop)
{
    ImageSlot &slot = m_imageSlots[item.id];
    slot.generation = ++m_generation;
    slot.fileName = item.imageFileName;
    slot.crop = item.cropRect;
    slot.baseDir = m_imageBaseDir.value_or(QString());
    slot.afterCrop = afterCrop;
    slot.fullDetail = false;
    slot.inFlight = false;
    if (!m_imageBaseDir)
        return;
    // A name that could leave the collage folder is never opened: it counts as missing.
    if (!FileNames::isPlainComponent(item.imageFileName)) {
        imageDecoded(PhotoDecoder::Result{item.id, slot.generation, QImage(), true});
        return;
    }
    if (const std::optional<RecentPhotos::Photo> known =
            m_recentPhotos.find(slot.baseDir, item.imageFileName, item.cropRect, targetPixels(item.size))) {
        imageDecoded(PhotoDecoder::Result{item.id, slot.generation, known->image, known->fullDetail});
        return;
    }
    slot.inFlight = true;
    m_decoder->submit(PhotoDecoder::Request{item.id, slot.generation, item.imageFileName, slot.baseDir,
                                            item.cropRect, targetPixels(item.size)});
}

void CollageView::requestSharperIfNeeded(const PhotoItem &item)
{
    const auto slot = m_imageSlots.constFind(item.id);
    if (slot == m_imageSlots.cend() || slot->inFlight || !slot->shown || slot->fullDetail || !m_imageBaseDir)
        return;
    if (!ImageLoader::tooSmallFor(slot->decodedSize, targetPixels(item.size)))
        return;
    // The sharper image replaces a good one: until it comes, the current one stays.
    requestImage(item, false);
}

void CollageView::imageDecoded(const PhotoDecoder::Result &result)
{
    const auto slot = m_imageSlots.find(result.id);
    if (slot == m_imageSlots.end() || slot->generation != result.generation)
        return; // an answer for a print rebuilt, removed or re-cropped since
    slot->inFlight = false;
    PrintPhotoItem *photo = m_contentByID.value(result.id);
    if (!photo)
        return;
    if (!result.image.isNull()) {
        m_recentPhotos.remember(slot->baseDir, slot->fileName, slot->crop, {result.image, result.fullDetail});
        photo->setImage(result.image);
        slot->shown = true;
        slot->decodedSize = result.image.size();
        slot->fullDetail = result.fullDetail;
    } else if (slot->afterCrop) {
        // The new crop cannot be shown: the white card shows through.
        photo->clearContents();
        slot->shown = false;
    } else if (!slot->shown) {
        photo->showPlaceholder();
    } else {
        slot->fullDetail = true; // keep the image we have and stop asking
    }
    emit imageSettled(result.id);
    if (const PhotoItem *item = m_model.find(result.id))
        requestSharperIfNeeded(*item);
}
