#include "app/shell/SettingsWindow.h"

#include "app/shell/ShortcutRecorderButton.h"
#include "app/shell/WindowPlacement.h"
#include "core/Log.h"
#include "platform/preferences/Preferences.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

constexpr int margin = 22;

// The small print under a control: smaller than the controls and in a muted colour.
QLabel *noteLabel(const QString &text, QWidget *parent, const QColor &colour = QColor())
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 11.0 / 13.0);
    else
        font.setPixelSize(font.pixelSize() * 11 / 13);
    label->setFont(font);
    QPalette palette = label->palette();
    QColor muted = palette.color(QPalette::WindowText);
    muted.setAlphaF(0.6f);
    palette.setColor(QPalette::WindowText, colour.isValid() ? colour : muted);
    label->setPalette(palette);
    // Desktops with large fonts would cut the end off: the window cannot grow.
    const int room = SettingsWindow::contentWidth - 2 * margin;
    while (label->fontMetrics().horizontalAdvance(text) > room && font.pointSizeF() > 6) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        label->setFont(font);
    }
    return label;
}

} // namespace

SettingsWindow::SettingsWindow(Preferences &prefs, Autostart autostart, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::WindowStaysOnTopHint),
      m_prefs(prefs), m_autostart(std::move(autostart))
{
    setWindowTitle(tr("Veloran Settings"));
    setFixedSize(contentWidth, contentHeight);
    // Escape closes, as in any settings dialog; while recording, the recorder takes it first.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);

    m_launch = new QCheckBox(tr("Launch at login"), this);
    m_location = new QCheckBox(tr("Look up photo locations"), this);
    QLabel *locationNote =
        noteLabel(tr("Names places from a list of cities on this computer; nothing is sent."), this);
    auto *shortcutLabel = new QLabel(tr("Editing shortcut:"), this);
    m_shortcut = new ShortcutRecorderButton(this);
    m_inUse = noteLabel(tr("In use by another program"), this, QColor(200, 55, 40));
    m_inUse->setContentsMargins(0, 2, 0, 0); // hidden, it takes no room at all
    m_inUse->hide();
    QLabel *hint = noteLabel(tr("Click the shortcut, then press a new key combination."), this);

    auto *row = new QHBoxLayout;
    row->setSpacing(8);
    row->addWidget(shortcutLabel);
    row->addWidget(m_shortcut);
    row->addStretch(1);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(margin, margin, margin, 0);
    column->setSpacing(0);
    column->addWidget(m_launch, 0, Qt::AlignLeft);
    column->addSpacing(14);
    column->addWidget(m_location, 0, Qt::AlignLeft);
    column->addSpacing(2);
    column->addWidget(locationNote, 0, Qt::AlignLeft);
    column->addSpacing(14);
    column->addLayout(row);
    column->addWidget(m_inUse, 0, Qt::AlignLeft);
    column->addSpacing(14);
    column->addWidget(hint, 0, Qt::AlignLeft);
    column->addStretch(1);

    connect(m_launch, &QCheckBox::clicked, this, &SettingsWindow::toggleLaunch);
    connect(m_location, &QCheckBox::clicked, this, &SettingsWindow::toggleLocation);
    connect(m_shortcut, &ShortcutRecorderButton::recordingStarted, this, &SettingsWindow::recordingStarted);
    connect(m_shortcut, &ShortcutRecorderButton::recorded, this, &SettingsWindow::store);
    connect(m_shortcut, &ShortcutRecorderButton::recordingEnded, this, [this] {
        refresh();
        emit recordingEnded();
    });
    refresh();
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::present()
{
    refresh();
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    WindowPlacement::present(this, screen ? screen->availableGeometry() : QRect());
}

void SettingsWindow::refresh()
{
    m_launch->setChecked(m_autostart.isEnabled());
    m_location->setChecked(m_prefs.value(PreferenceKeys::locationLookup));
    if (!m_shortcut->isRecording())
        m_shortcut->setText(m_prefs.value(PreferenceKeys::hotkeyDisplay));
}

bool SettingsWindow::isRecording() const
{
    return m_shortcut->isRecording();
}

void SettingsWindow::setShortcutInUse(bool inUse)
{
    m_inUse->setVisible(inUse);
}

bool SettingsWindow::isShortcutInUse() const
{
    return !m_inUse->isHidden();
}

void SettingsWindow::hideEvent(QHideEvent *event)
{
    m_shortcut->cancelRecording();
    QWidget::hideEvent(event);
}

void SettingsWindow::toggleLaunch()
{
    const bool done = m_autostart.isEnabled() ? m_autostart.disable()
                                              : m_autostart.enable(QCoreApplication::applicationFilePath());
    if (!done)
        Log::app().error(QStringLiteral("launch-at-login toggle failed: ") + m_autostart.errorString());
    refresh(); // whatever the click made of the box, it shows what the session will do
}

void SettingsWindow::toggleLocation(bool on)
{
    m_prefs.setValue(PreferenceKeys::locationLookup, on);
    emit locationLookupChanged(on);
}

void SettingsWindow::store(const HotKeyBinding &binding)
{
    binding.store(m_prefs);
    setShortcutInUse(false);
    emit shortcutChanged(binding);
}
