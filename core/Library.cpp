#include "core/Library.h"

Library::Library(QList<Collage> collages, QUuid activeID)
    : m_collages(std::move(collages)), m_activeID(activeID)
{
    if (m_collages.isEmpty())
        m_collages.append(Collage{QUuid::createUuid(), defaultCollageName, CollageModel()});
    if (activeIndex() < 0)
        m_activeID = m_collages.first().id;
}

Library Library::single(CollageModel model, QString name)
{
    Collage collage{QUuid::createUuid(), std::move(name), std::move(model)};
    const QUuid id = collage.id;
    return Library({collage}, id);
}

Library Library::decoded(QList<Collage> collages, QUuid activeID)
{
    Library library;
    library.m_collages = std::move(collages);
    library.m_activeID = activeID;
    return library;
}

int Library::activeIndex() const
{
    for (int i = 0; i < m_collages.size(); ++i) {
        if (m_collages[i].id == m_activeID)
            return i;
    }
    return -1;
}

Collage Library::active() const
{
    const int index = activeIndex();
    if (index >= 0)
        return m_collages[index];
    if (!m_collages.isEmpty())
        return m_collages.first();
    return Collage{};
}

const Collage *Library::find(const QUuid &id) const
{
    for (const Collage &collage : m_collages) {
        if (collage.id == id)
            return &collage;
    }
    return nullptr;
}

const Collage *Library::findNamed(const QString &name) const
{
    for (const Collage &collage : m_collages) {
        if (collage.name == name)
            return &collage;
    }
    return nullptr;
}

void Library::updateActive(const CollageModel &model)
{
    const int index = activeIndex();
    if (index >= 0)
        m_collages[index].model = model;
}

QUuid Library::addCollage(const QString &name)
{
    const QUuid id = QUuid::createUuid();
    m_collages.append(Collage{id, name, CollageModel()});
    m_activeID = id;
    return id;
}

void Library::renameActive(const QString &name)
{
    const int index = activeIndex();
    if (index >= 0)
        m_collages[index].name = name;
}

void Library::removeActive()
{
    if (m_collages.size() < 2)
        return;
    const int index = activeIndex();
    if (index < 0)
        return;
    m_collages.removeAt(index);
    m_activeID = m_collages[std::min<int>(index, int(m_collages.size()) - 1)].id;
}
