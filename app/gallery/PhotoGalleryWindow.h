#pragma once

#include "app/gallery/GalleryModel.h"
#include "app/gallery/GalleryScanner.h"
#include "app/gallery/ThumbnailLoader.h"

#include <QDialog>
#include <QItemSelection>
#include <QPersistentModelIndex>
#include <QSet>

class QLabel;
class QListView;
class QPushButton;
class QScreen;

// "Add Photos from Library": the photos under a folder as a grid of thumbnails, newest first,
// from which the user picks any number. Closing it hands over the picked files once, in the
// order they were picked (an empty list when cancelled or closed). The window neither
// imports nor positions itself; its owner shows it, centres it and acts on the result.
class PhotoGalleryWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int contentWidth = 760;
    static constexpr int contentHeight = 560;

    // root is walked for photos (the Pictures folder), never entering excluded (the collage
    // library) or hidden folders. Thumbnails come from and go to cache.
    PhotoGalleryWindow(const QString &root, const QString &excluded, const ImageDecoder &decoder,
                       ThumbnailCache cache = ThumbnailCache(), QWidget *parent = nullptr);
    ~PhotoGalleryWindow() override;

    // The photos selected now, in the order they were picked.
    const QStringList &pickedPaths() const { return m_picked; }

    QListView *view() const { return m_view; }
    GalleryModel &model() { return m_model; }
    ThumbnailLoader &loader() { return m_loader; }
    GalleryScanner &scanner() { return m_scanner; }

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // Once, as the window closes. Picked files that are gone by then are logged and left out.
    void photosPicked(const QStringList &paths);

private:
    void pickChanged(const QItemSelection &selected, const QItemSelection &deselected);
    bool isRowOnScreen(int row) const;
    void fitColumns();
    void updateStatus();
    static QStringList stillPresent(const QStringList &paths);

    const QString m_root;
    ThumbnailLoader m_loader;
    GalleryModel m_model;
    GalleryScanner m_scanner;
    QListView *m_view = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_add = nullptr;
    QStringList m_picked;
    QSet<QString> m_pickedSet;
    QString m_doubleClicked;
    QPersistentModelIndex m_anchor;
    bool m_scanning = true;
    bool m_delivered = false;
};
