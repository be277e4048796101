#pragma once

#include "app/collages/CollagesWindow.h"

#include <QHash>
#include <QImage>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class DesktopWindowController;
class StripButton;

// The "Collages" window: every collage as a thumbnail, the chosen one large over its
// screen's desktop picture, renaming, the displays that show it, adding and removing. All
// changes go through the desktop controller; if it is gone, nothing happens.
class CollagesWindowController : public QObject {
    Q_OBJECT
public:
    static constexpr int stageWidth = 1200;
    static constexpr int stripWidth = 240;

    explicit CollagesWindowController(DesktopWindowController *controller, QObject *parent = nullptr);
    ~CollagesWindowController() override;

    void show();
    // Built on the first show, then kept.
    CollagesWindow *window() const { return m_window; }
    const std::optional<QString> &selected() const { return m_selected; }

    void ensureSelection();
    void refresh();
    void stripClicked(const QString &name);
    void toggleDisplays();
    void addCollage();
    void beginRename();
    void endRename();
    void cancelRename();
    bool isRenaming() const { return m_renaming; }
    void removeSelected();
    QMessageBox *removalQuestion() const { return m_question; }

    // A thumbnail already drawn, by collage and width; null if none is cached.
    QImage cachedThumb(const QString &name, int width) const;
    QList<StripButton *> stripButtons() const;

signals:
    // A thumbnail arrived and is on screen (mainly for tests).
    void thumbnailShown(const QString &name, int width);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    static QString key(const QString &name, int width);
    // The cached image now, or a request whose answer is shown when it comes.
    QImage thumb(const QString &name, int width);
    void thumbArrived(const QString &name, int width, quint64 generation, const QImage &image);
    void forgetThumbs();
    void forgetThumbsOf(const QString &name);
    void rebuildShowOn();
    void rebuildStrip();

    QPointer<DesktopWindowController> m_controller;
    QPointer<CollagesWindow> m_window;
    std::optional<QString> m_selected;
    QHash<QString, QImage> m_thumbCache;
    QHash<QString, quint64> m_requested; // key -> generation asked in
    quint64 m_generation = 0;
    bool m_renaming = false;
    QPointer<QMessageBox> m_question;
};
