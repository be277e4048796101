#include "app/gallery/PhotoGalleryWindow.h"

#include "app/gallery/GalleryDelegate.h"
#include "core/Log.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

PhotoGalleryWindow::PhotoGalleryWindow(const QString &root, const QString &excluded, const ImageDecoder &decoder,
                                       ThumbnailCache cache, QWidget *parent)
    : QDialog(parent),
      m_root(root),
      m_loader(decoder, std::move(cache), ThumbnailLoader::flavorFor(devicePixelRatioF())),
      m_model(m_loader),
      m_scanner(decoder)
{
    setWindowTitle(tr("Add Photos from Library"));
    resize(contentWidth, contentHeight);

    m_view = new QListView(this);
    auto *delegate = new GalleryDelegate(m_view);
    m_view->setItemDelegate(delegate);
    m_view->setViewMode(QListView::IconMode);
    m_view->setMovement(QListView::Static);
    m_view->setResizeMode(QListView::Adjust);
    // Every cell alike, so laying out thousands of rows never reads a row's data.
    m_view->setUniformItemSizes(true);
    m_view->installEventFilter(this);
    m_view->setIconSize(QSize(GalleryDelegate::thumbnailBox, GalleryDelegate::thumbnailBox));
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setSelectionRectVisible(true);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_view->verticalScrollBar()->setSingleStep(GalleryDelegate::thumbnailBox / 3);
    m_view->setMouseTracking(true);
    m_view->setModel(&m_model);

    m_status = new QLabel(this);
    auto *buttons = new QDialogButtonBox(this);
    m_add = buttons->addButton(tr("Add"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    m_add->setDefault(true);
    m_add->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addLayout(bottom);

    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, &PhotoGalleryWindow::pickChanged);
    connect(m_view, &QListView::doubleClicked, this, [this](const QModelIndex &index) {
        m_doubleClicked = index.data(GalleryModel::PathRole).toString();
        accept();
    });

    // Requests for rows scrolled out of sight before a worker got to them are dropped.
    m_loader.setStillWanted([this](const QString &path) { return isRowOnScreen(m_model.rowOf(path)); });

    // The photo at the top-left stays there when the order changes under a scrolled view;
    // at the very top the newest photos stay in view instead.
    connect(&m_model, &QAbstractItemModel::layoutAboutToBeChanged, this, [this] {
        const QSize cell = m_view->gridSize();
        m_anchor = m_view->verticalScrollBar()->value() > 0
            ? QPersistentModelIndex(m_view->indexAt(QPoint(cell.width() / 2, cell.height() / 2)))
            : QPersistentModelIndex();
    });
    connect(&m_model, &QAbstractItemModel::layoutChanged, this, [this] {
        if (m_anchor.isValid())
            m_view->scrollTo(m_anchor, QAbstractItemView::PositionAtTop);
        m_anchor = QPersistentModelIndex();
    });

    // The list appears in file-time order as the walk finds it; capture dates, which mean
    // opening every file, arrive once for all and re-sort it in one step. One late re-sort
    // (selection and scroll position kept) disturbs less than rows moving all along.
    connect(&m_scanner, &GalleryScanner::found, &m_model, &GalleryModel::addPhotos);
    connect(&m_scanner, &GalleryScanner::datesRead, &m_model, &GalleryModel::setCaptureTimes);
    connect(&m_scanner, &GalleryScanner::scanned, this, [this] {
        m_scanning = false;
        updateStatus();
    });
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, &PhotoGalleryWindow::updateStatus);
    m_scanner.start(root, excluded);
    updateStatus();
    m_view->setFocus();
}

PhotoGalleryWindow::~PhotoGalleryWindow()
{
    // The view goes before the model it shows.
    delete m_view;
}

void PhotoGalleryWindow::pickChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    QSet<QString> dropped;
    for (const QModelIndex &index : deselected.indexes())
        dropped.insert(m_model.path(index.row()));
    if (!dropped.isEmpty()) {
        m_picked.removeIf([&](const QString &path) { return dropped.contains(path); });
        m_pickedSet.subtract(dropped);
    }
    // A click adds one; a Shift range or a rubber band adds its rows top to bottom.
    QModelIndexList added = selected.indexes();
    std::sort(added.begin(), added.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    for (const QModelIndex &index : std::as_const(added)) {
        const QString path = m_model.path(index.row());
        if (!m_pickedSet.contains(path)) {
            m_pickedSet.insert(path);
            m_picked.append(path);
        }
    }
    m_add->setEnabled(!m_picked.isEmpty());
    updateStatus();
}

bool PhotoGalleryWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::Resize)
        fitColumns();
    return QDialog::eventFilter(watched, event);
}

void PhotoGalleryWindow::fitColumns()
{
    // The columns share the whole width, measured as if the scroll bar were always there so
    // that its coming and going never changes their number.
    const QSize cell = GalleryDelegate::cellSize(m_view->fontMetrics());
    const int width = m_view->width() - 2 * m_view->frameWidth()
        - m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_view) - 1;
    const int columns = std::max(1, width / cell.width());
    const QSize grid(std::max(cell.width(), width / columns), cell.height());
    if (grid != m_view->gridSize())
        m_view->setGridSize(grid);
}

bool PhotoGalleryWindow::isRowOnScreen(int row) const
{
    if (row < 0 || !isVisible())
        return false;
    const QRect cell = m_view->visualRect(m_model.index(row));
    return cell.isValid() && cell.intersects(m_view->viewport()->rect());
}

void PhotoGalleryWindow::updateStatus()
{
    const QLocale locale;
    const int count = m_model.rowCount();
    QString text;
    if (count == 0)
        text = m_scanning ? tr("Looking for photos…") : tr("No photos in %1").arg(QDir::toNativeSeparators(m_root));
    else if (!m_picked.isEmpty())
        text = tr("%1 of %2 photos selected").arg(locale.toString(m_picked.size()), locale.toString(count));
    else
        text = count == 1 ? tr("1 photo") : tr("%1 photos").arg(locale.toString(count));
    m_status->setText(text);
}

QStringList PhotoGalleryWindow::stillPresent(const QStringList &paths)
{
    QStringList present;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QFileInfo file(paths.at(i));
        const QString problem = !file.exists() ? QStringLiteral("no such file")
            : !file.isReadable()               ? QStringLiteral("permission denied")
                                               : QString();
        if (problem.isEmpty())
            present.append(paths.at(i));
        else
            Log::importing().error(QStringLiteral("photos pick %1 failed: %2").arg(i).arg(problem));
    }
    return present;
}

void PhotoGalleryWindow::done(int result)
{
    if (m_delivered) {
        QDialog::done(result);
        return;
    }
    m_delivered = true;
    QStringList paths;
    if (result == Accepted)
        paths = stillPresent(m_doubleClicked.isEmpty() ? m_picked : QStringList{m_doubleClicked});
    m_scanner.stop();
    QPointer<PhotoGalleryWindow> self(this);
    QDialog::done(result);
    if (self)
        emit photosPicked(paths);
}
