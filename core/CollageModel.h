#pragma once

#include "core/PhotoItem.h"

#include <QList>

#include <functional>
#include <optional>

// The photos of one collage in insertion order; drawing order comes from zIndex.
// A value type: QList's implicit sharing makes copies cheap until one side changes.
class CollageModel {
public:
    CollageModel() = default;
    explicit CollageModel(QList<PhotoItem> items) : m_items(std::move(items)) {}

    const QList<PhotoItem> &items() const { return m_items; }
    bool isEmpty() const { return m_items.isEmpty(); }

    // The first item with that id in list order.
    std::optional<PhotoItem> operator[](const QUuid &id) const;
    const PhotoItem *find(const QUuid &id) const;

    // Stable sort by ascending zIndex: of equal values the later-added one is drawn on top.
    QList<PhotoItem> drawOrder() const;

    QUuid add(PhotoItem item);
    void remove(const QUuid &id);
    void move(const QUuid &id, QPointF point);
    void update(const QUuid &id, const std::function<void(PhotoItem &)> &change);

    void bringToFront(const QUuid &id);
    void sendToBack(const QUuid &id);
    void bringForward(const QUuid &id);
    void sendBackward(const QUuid &id);

    // The next free top value; saturates at the largest representable zIndex.
    qint64 nextZ() const;
    void swapZ(const QUuid &a, const QUuid &b);

    friend bool operator==(const CollageModel &a, const CollageModel &b) { return a.m_items == b.m_items; }
    friend bool operator!=(const CollageModel &a, const CollageModel &b) { return !(a == b); }

private:
    PhotoItem *firstMatch(const QUuid &id);

    QList<PhotoItem> m_items;
};
