#pragma once

#include <QString>
#include <QUndoStack>

// The undo history of one collage. It knows the collage's current name so that steps
// recorded before a rename still find their collage after it.
class CollageHistory : public QUndoStack {
    Q_OBJECT
public:
    explicit CollageHistory(QString collageName, QObject *parent = nullptr)
        : QUndoStack(parent), m_collageName(std::move(collageName))
    {
    }

    const QString &collageName() const { return m_collageName; }
    void setCollageName(const QString &name) { m_collageName = name; }

private:
    QString m_collageName;
};
