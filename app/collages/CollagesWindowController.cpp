#include "app/collages/CollagesWindowController.h"

#include "app/collages/CollagesWindow.h"
#include "app/collages/StageView.h"
#include "app/collages/StripButton.h"
#include "app/controller/DesktopWindowController.h"
#include "app/controller/DisplayAssignments.h"
#include "app/shell/WindowPlacement.h"
#include "platform/Platform.h"
#include "platform/haptics/Haptics.h"
#include "platform/screens/ScreenService.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

namespace {

// The buttons go later: the one clicked may be emitting its signal right now.
void clearLayout(QLayout *layout)
{
    while (QLayoutItem *item = layout->takeAt(0)) {
        if (QWidget *widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
}

} // namespace

CollagesWindowController::CollagesWindowController(DesktopWindowController *controller, QObject *parent)
    : QObject(parent), m_controller(controller)
{
}

CollagesWindowController::~CollagesWindowController()
{
    delete m_window;
}

void CollagesWindowController::buildWindow()
{
    m_window = new CollagesWindow;
    // Above the desktop's editing windows and other programs, as a panel of this utility.
    m_window->setWindowFlag(Qt::WindowStaysOnTopHint);
    connect(m_window->plusButton(), &QToolButton::clicked, this, &CollagesWindowController::addCollage);
    connect(m_window->minusButton(), &QToolButton::clicked, this, &CollagesWindowController::removeSelected);
    connect(m_window->nameField(), &QLineEdit::editingFinished, this, &CollagesWindowController::endRename);
    m_window->nameField()->installEventFilter(this);
}

void CollagesWindowController::show()
{
    if (!m_controller)
        return;
    if (!m_window)
        buildWindow();
    forgetThumbs();
    ensureSelection();
    refresh();
    const std::optional<ScreenInfo> screen = m_controller->cursorScreen();
    QScreen *primary = QGuiApplication::primaryScreen();
    WindowPlacement::present(m_window, screen ? screen->visibleFrame : primary ? primary->availableGeometry() : QRect());
    m_window->setFocus(); // no control takes the keyboard first
}

void CollagesWindowController::ensureSelection()
{
    if (!m_controller)
        return;
    const Library &library = m_controller->library();
    if (m_selected && library.findNamed(*m_selected))
        return;
    const auto first = [&library]() -> std::optional<QString> {
        if (library.collages().isEmpty())
            return std::nullopt;
        return library.collages().first().name;
    };
    std::optional<ScreenInfo> screen = Platform::instance().screens().mainScreen();
    if (!screen && !m_controller->screens().isEmpty())
        screen = m_controller->screens().first();
    if (!screen) {
        m_selected = first();
        return;
    }
    if (std::optional<QString> shown = DisplayAssignments::assignedName(*screen)) {
        m_selected = shown;
        return;
    }
    m_selected = first();
}

QString CollagesWindowController::key(const QString &name, int width)
{
    return name + QLatin1Char('@') + QString::number(width);
}

QImage CollagesWindowController::cachedThumb(const QString &name, int width) const
{
    return m_thumbCache.value(key(name, width));
}

QImage CollagesWindowController::thumb(const QString &name, int width)
{
    const QString k = key(name, width);
    if (const auto hit = m_thumbCache.constFind(k); hit != m_thumbCache.constEnd())
        return *hit;
    if (m_requested.value(k, ~quint64(0)) == m_generation || !m_controller)
        return {};
    m_requested.insert(k, m_generation);
    const quint64 generation = m_generation;
    m_controller->requestThumbnail(name, width, this, [this, name, width, generation](const QImage &image) {
        thumbArrived(name, width, generation, image);
    });
    return {};
}

void CollagesWindowController::thumbArrived(const QString &name, int width, quint64 generation, const QImage &image)
{
    const QString k = key(name, width);
    if (m_requested.value(k) == generation)
        m_requested.remove(k);
    // Drawn before the collage was renamed, deleted or the window shown afresh: stale.
    if (generation != m_generation || !m_window)
        return;
    if (!image.isNull())
        m_thumbCache.insert(k, image);
    if (width == stageWidth && m_selected == name)
        m_window->stage()->setImage(image);
    if (width == stripWidth) {
        for (StripButton *button : stripButtons()) {
            if (button->collageName() == name)
                button->setImage(image);
        }
    }
    emit thumbnailShown(name, width);
}

void CollagesWindowController::forgetThumbs()
{
    m_thumbCache.clear();
    m_requested.clear();
    ++m_generation;
}

void CollagesWindowController::forgetThumbsOf(const QString &name)
{
    const QString prefix = name + QLatin1Char('@');
    m_thumbCache.removeIf([&prefix](const auto &entry) { return entry.key().startsWith(prefix); });
    // Answers still on their way belong to the old collage of that name.
    ++m_generation;
    m_requested.clear();
}

QList<StripButton *> CollagesWindowController::stripButtons() const
{
    QList<StripButton *> buttons;
    if (!m_window)
        return buttons;
    for (int i = 0; i < m_window->stripLayout()->count(); ++i) {
        if (auto *button = qobject_cast<StripButton *>(m_window->stripLayout()->itemAt(i)->widget()))
            buttons.append(button);
    }
    return buttons;
}

void CollagesWindowController::refresh()
{
    if (!m_controller || !m_window)
        return;
    ensureSelection();
    const Collage *current = m_selected ? m_controller->library().findNamed(*m_selected) : nullptr;
    m_window->stage()->setImage(current ? thumb(current->name, stageWidth) : QImage());
    m_window->emptyHint()->setVisible(current && current->model.items().isEmpty());
    if (!m_renaming)
        m_window->nameField()->setText(m_selected.value_or(QString()));
    rebuildShowOn();
    rebuildStrip();
    m_window->minusButton()->setEnabled(m_controller->library().collages().size() > 1);
    m_window->layoutNameBar();
}

void CollagesWindowController::rebuildShowOn()
{
    QHBoxLayout *layout = m_window->showOnLayout();
    clearLayout(layout);
    const ScreenList &screens = m_controller->screens();
    for (const ScreenInfo &screen : screens) {
        auto *toggle = new QToolButton(m_window->showOn());
        toggle->setText(screen.localizedName.isEmpty() ? screen.name : screen.localizedName);
        toggle->setCheckable(true);
        toggle->setChecked(m_selected && DisplayAssignments::assignedName(screen) == *m_selected);
        toggle->setToolTip(QStringLiteral("Show on %1").arg(toggle->text()));
        connect(toggle, &QToolButton::toggled, this, &CollagesWindowController::toggleDisplays);
        layout->addWidget(toggle);
    }
    m_window->showOn()->setVisible(!screens.isEmpty() && m_selected.has_value());
}

void CollagesWindowController::rebuildStrip()
{
    QHBoxLayout *layout = m_window->stripLayout();
    clearLayout(layout);
    for (const Collage &collage : m_controller->library().collages()) {
        auto *button = new StripButton(collage.name);
        button->setImage(thumb(collage.name, stripWidth));
        button->setSelected(m_selected == collage.name);
        const QString name = collage.name;
        connect(button, &StripButton::clicked, this, [this, name] { stripClicked(name); });
        layout->addWidget(button);
    }
}

void CollagesWindowController::stripClicked(const QString &name)
{
    m_selected = name.isEmpty() ? std::nullopt : std::optional<QString>(name);
    refresh();
}

void CollagesWindowController::toggleDisplays()
{
    if (!m_controller || !m_window || !m_selected)
        return;
    const QString selected = *m_selected;
    QHBoxLayout *layout = m_window->showOnLayout();
    const ScreenList screens = m_controller->screens();
    for (int i = 0; i < screens.size() && i < layout->count(); ++i) {
        const auto *toggle = qobject_cast<QToolButton *>(layout->itemAt(i)->widget());
        if (!toggle || !m_controller)
            continue;
        const bool on = toggle->isChecked();
        const std::optional<QString> current = DisplayAssignments::assignedName(screens[i]);
        if (on && current != selected) {
            DisplayAssignments::set(selected, screens[i]);
            if (const Collage *collage = m_controller->library().findNamed(selected))
                m_controller->library().setActiveID(collage->id);
            m_controller->reloadAllViews();
        } else if (!on && current == selected) {
            DisplayAssignments::set(std::nullopt, screens[i]);
            m_controller->reloadAllViews();
        }
    }
    // Rebuilt after the toggle's own signal has returned.
    QMetaObject::invokeMethod(this, &CollagesWindowController::refresh, Qt::QueuedConnection);
}

void CollagesWindowController::addCollage()
{
    if (!m_controller)
        return;
    const QString name = m_controller->addCollage();
    forgetThumbs();
    m_selected = name;
    refresh();
    beginRename();
}

void CollagesWindowController::beginRename()
{
    if (!m_selected || !m_window)
        return;
    m_renaming = true;
    QLineEdit *field = m_window->nameField();
    field->setReadOnly(false);
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

void CollagesWindowController::endRename()
{
    if (!m_renaming || !m_selected || !m_window || !m_controller)
        return;
    QLineEdit *field = m_window->nameField();
    const QString old = *m_selected;
    const QString requested = field->text().trimmed();
    if (requested == old)
        return;
    if (!requested.isEmpty() && m_controller->renameCollage(old, requested)) {
        forgetThumbs();
        // The library may have made the name fit a folder.
        m_selected = m_controller->library().active().name;
    }
    field->setText(m_selected.value_or(old));
    m_renaming = false;
    field->setReadOnly(true);
    field->deselect();
    refresh();
}

void CollagesWindowController::cancelRename()
{
    if (!m_renaming || !m_window)
        return;
    m_renaming = false;
    m_window->nameField()->setText(m_selected.value_or(QString()));
    m_window->nameField()->setReadOnly(true);
    m_window->setFocus();
}

void CollagesWindowController::removeSelected()
{
    if (!m_controller || !m_window || !m_selected || m_controller->library().collages().size() < 2) {
        Platform::instance().haptics().beep();
        return;
    }
    const QString name = *m_selected;
    auto *question = new QMessageBox(QMessageBox::Warning, QString(),
                                     QStringLiteral("Delete \u201C%1\u201D?").arg(name), QMessageBox::NoButton, m_window);
    question->setInformativeText(
        QStringLiteral("The photos on it are removed from the collage. Your original files are untouched."));
    QPushButton *remove = question->addButton(QStringLiteral("Delete"), QMessageBox::AcceptRole);
    question->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    question->setDefaultButton(remove);
    question->setWindowModality(Qt::WindowModal);
    question->setAttribute(Qt::WA_DeleteOnClose);
    m_question = question;
    connect(question, &QMessageBox::finished, this, [this, question, remove, name] {
        if (question->clickedButton() != remove || !m_controller)
            return;
        m_controller->deleteCollage(name);
        forgetThumbsOf(name);
        m_selected.reset();
        refresh();
    });
    question->open();
}

bool CollagesWindowController::eventFilter(QObject *watched, QEvent *event)
{
    if (m_window && watched == m_window->nameField()) {
        if (event->type() == QEvent::MouseButtonDblClick && !m_renaming) {
            beginRename();
            return true;
        }
        if (event->type() == QEvent::KeyPress && m_renaming
            && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            cancelRename();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
