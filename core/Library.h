#pragma once

#include "core/CollageModel.h"

#include <QList>
#include <QString>
#include <QUuid>

struct Collage {
    QUuid id;
    QString name;
    CollageModel model;

    friend bool operator==(const Collage &a, const Collage &b)
    {
        return a.id == b.id && a.name == b.name && a.model == b.model;
    }
    friend bool operator!=(const Collage &a, const Collage &b) { return !(a == b); }
};

// All collages in a fixed order, with the id of the active one: an internal cursor the
// controller points at the collage it is about to change.
class Library {
public:
    static inline const QString defaultCollageName = QStringLiteral("My Collage");

    // Supplies a default collage for an empty list and repairs an activeID that names none.
    Library(QList<Collage> collages, QUuid activeID);
    static Library single(CollageModel model, QString name);
    // Taken exactly as decoded from a file: may be empty, activeID may name nothing.
    static Library decoded(QList<Collage> collages, QUuid activeID);

    const QList<Collage> &collages() const { return m_collages; }
    QUuid activeID() const { return m_activeID; }
    void setActiveID(QUuid id) { m_activeID = id; }

    // The active collage, else the first one. A decoded library may hold no collage at
    // all: then this is an empty, unnamed collage rather than undefined behaviour.
    Collage active() const;
    const Collage *find(const QUuid &id) const;
    const Collage *findNamed(const QString &name) const;

    void updateActive(const CollageModel &model);
    QUuid addCollage(const QString &name);
    void renameActive(const QString &name);
    void removeActive();

    friend bool operator==(const Library &a, const Library &b)
    {
        return a.m_activeID == b.m_activeID && a.m_collages == b.m_collages;
    }
    friend bool operator!=(const Library &a, const Library &b) { return !(a == b); }

private:
    Library() = default;
    int activeIndex() const;

    QList<Collage> m_collages;
    QUuid m_activeID;
};
