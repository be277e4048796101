#include "core/CollageModel.h"

#include <algorithm>
#include <limits>

const PhotoItem *CollageModel::find(const QUuid &id) const
{
    for (const PhotoItem &item : m_items) {
        if (item.id == id)
            return &item;
    }
    return nullptr;
}

std::optional<PhotoItem> CollageModel::operator[](const QUuid &id) const
{
    if (const PhotoItem *item = find(id))
        return *item;
    return std::nullopt;
}

PhotoItem *CollageModel::firstMatch(const QUuid &id)
{
    // Look up through the const path first so an unknown id never detaches shared storage.
    const auto it = std::find_if(m_items.cbegin(), m_items.cend(), [&](const PhotoItem &i) { return i.id == id; });
    if (it == m_items.cend())
        return nullptr;
    return &m_items[it - m_items.cbegin()];
}

QList<PhotoItem> CollageModel::drawOrder() const
{
    QList<PhotoItem> order = m_items;
    std::stable_sort(order.begin(), order.end(),
                     [](const PhotoItem &a, const PhotoItem &b) { return a.zIndex < b.zIndex; });
    return order;
}

qint64 CollageModel::nextZ() const
{
    if (m_items.isEmpty())
        return 0;
    const qint64 top = std::max_element(m_items.cbegin(), m_items.cend(), [](const PhotoItem &a, const PhotoItem &b) {
                           return a.zIndex < b.zIndex;
                       })->zIndex;
    // Values read from a file may already sit at the limit: stay there rather than overflow.
    return top == std::numeric_limits<qint64>::max() ? top : top + 1;
}

QUuid CollageModel::add(PhotoItem item)
{
    item.zIndex = nextZ();
    const QUuid id = item.id;
    m_items.append(std::move(item));
    return id;
}

void CollageModel::remove(const QUuid &id)
{
    if (find(id))
        m_items.removeIf([&](const PhotoItem &item) { return item.id == id; });
}

void CollageModel::move(const QUuid &id, QPointF point)
{
    if (PhotoItem *item = firstMatch(id))
        item->center = point;
}

void CollageModel::update(const QUuid &id, const std::function<void(PhotoItem &)> &change)
{
    if (PhotoItem *item = firstMatch(id))
        change(*item);
}

void CollageModel::bringToFront(const QUuid &id)
{
    if (!find(id))
        return;
    const qint64 z = nextZ();
    firstMatch(id)->zIndex = z;
}

void CollageModel::sendToBack(const QUuid &id)
{
    if (!find(id))
        return;
    const qint64 bottom = std::min_element(m_items.cbegin(), m_items.cend(), [](const PhotoItem &a, const PhotoItem &b) {
                              return a.zIndex < b.zIndex;
                          })->zIndex;
    firstMatch(id)->zIndex = bottom == std::numeric_limits<qint64>::min() ? bottom : bottom - 1;
}

void CollageModel::bringForward(const QUuid &id)
{
    const QList<PhotoItem> order = drawOrder();
    const auto it = std::find_if(order.cbegin(), order.cend(), [&](const PhotoItem &i) { return i.id == id; });
    if (it == order.cend() || it + 1 == order.cend())
        return;
    swapZ(id, (it + 1)->id);
}

void CollageModel::sendBackward(const QUuid &id)
{
    const QList<PhotoItem> order = drawOrder();
    const auto it = std::find_if(order.cbegin(), order.cend(), [&](const PhotoItem &i) { return i.id == id; });
    if (it == order.cend() || it == order.cbegin())
        return;
    swapZ(id, (it - 1)->id);
}

void CollageModel::swapZ(const QUuid &a, const QUuid &b)
{
    if (!find(a) || !find(b))
        return;
    PhotoItem *first = firstMatch(a);
    PhotoItem *second = firstMatch(b);
    std::swap(first->zIndex, second->zIndex);
}
