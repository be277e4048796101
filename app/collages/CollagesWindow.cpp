#include "app/collages/CollagesWindow.h"

#include "app/collages/GradientWidget.h"
#include "app/collages/StageView.h"
#include "platform/Platform.h"
#include "platform/symbols/Symbols.h"

#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

namespace {

// A dark, translucent rounded panel that reads on any picture under it.
class NameBar : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(24, 24, 26, 200));
        painter.drawRoundedRect(QRectF(rect()), 11, 11);
    }
};

QColor grey(double white, double alpha = 1.0)
{
    return QColor::fromRgbF(float(white), float(white), float(white), float(alpha));
}

} // namespace

CollagesWindow::CollagesWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Collages"));
    setMinimumSize(560, 460);
    resize(760, 620);

    m_stage = new StageView(this);

    m_emptyHint = new QLabel(QStringLiteral("No photos yet.\nAdd photos, or drag some onto the collage."), this);
    m_emptyHint->setAlignment(Qt::AlignCenter);
    QFont hintFont = m_emptyHint->font();
    hintFont.setPixelSize(14);
    hintFont.setWeight(QFont::Medium);
    m_emptyHint->setFont(hintFont);
    m_emptyHint->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    auto *hintShadow = new QGraphicsDropShadowEffect(m_emptyHint);
    hintShadow->setColor(QColor::fromRgbF(0, 0, 0, 0.7f));
    hintShadow->setBlurRadius(6);
    hintShadow->setOffset(0, 1);
    m_emptyHint->setGraphicsEffect(hintShadow);
    m_emptyHint->hide();

    m_topShade = new GradientWidget({Qt::transparent, grey(0, 0.28)}, QPointF(0.5, 0), QPointF(0.5, 1), this);
    m_bottomShade = new GradientWidget({grey(0, 0.4), Qt::transparent}, QPointF(0.5, 0), QPointF(0.5, 1), this);
    m_tray = new GradientWidget({grey(0.1), grey(0.17)}, QPointF(0.5, 0), QPointF(0.5, 1), this);
    m_tray->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    m_hairline = new QWidget(m_tray);
    m_hairline->setAutoFillBackground(true);
    QPalette hairline = m_hairline->palette();
    hairline.setColor(QPalette::Window, grey(1, 0.09));
    m_hairline->setPalette(hairline);

    m_scroll = new QScrollArea(m_tray);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setStyleSheet(QStringLiteral("QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }"));
    m_strip = new QWidget;
    m_stripLayout = new QHBoxLayout(m_strip);
    m_stripLayout->setContentsMargins(0, 0, 0, 0);
    m_stripLayout->setSpacing(10);
    m_stripLayout->setSizeConstraint(QLayout::SetFixedSize);
    m_scroll->setWidget(m_strip);
    m_scroll->setWidgetResizable(false);

    m_buttons = new QWidget(m_tray);
    auto *buttons = new QHBoxLayout(m_buttons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(4);
    m_plus = trayButton(QStringLiteral("plus"), QStringLiteral("Add Collage"));
    m_minus = trayButton(QStringLiteral("minus"), QStringLiteral("Remove Collage"));
    buttons->addWidget(m_plus);
    buttons->addWidget(m_minus);

    m_nameBar = new NameBar(this);
    auto *bar = new QHBoxLayout(m_nameBar);
    bar->setContentsMargins(14, 0, 14, 0);
    bar->setSpacing(12);
    m_nameField = new QLineEdit(m_nameBar);
    m_nameField->setReadOnly(true);
    m_nameField->setFrame(false);
    m_nameField->setContextMenuPolicy(Qt::NoContextMenu);
    QFont nameFont = m_nameField->font();
    nameFont.setPixelSize(14);
    nameFont.setWeight(QFont::DemiBold);
    m_nameField->setFont(nameFont);
    m_nameField->setStyleSheet(QStringLiteral("QLineEdit { color: white; background: transparent; }"
                                              "QLineEdit:!read-only { background: rgba(255,255,255,0.12); }"));
    m_nameField->setAccessibleName(QStringLiteral("Collage name"));
    bar->addWidget(m_nameField, 1);
    m_showOn = new QWidget(m_nameBar);
    m_showOnLayout = new QHBoxLayout(m_showOn);
    m_showOnLayout->setContentsMargins(0, 0, 0, 0);
    m_showOnLayout->setSpacing(2);
    bar->addWidget(m_showOn, 0);
}

QToolButton *CollagesWindow::trayButton(const QString &symbol, const QString &name)
{
    auto *button = new QToolButton(m_buttons);
    button->setIcon(Platform::instance().symbols().symbolIcon(symbol, Qt::white));
    button->setIconSize(QSize(16, 16));
    button->setAutoRaise(true);
    button->setFixedSize(26, 26);
    button->setToolTip(name);
    button->setAccessibleName(name);
    return button;
}

void CollagesWindow::layoutNameBar()
{
    const int stageHeight = height() - trayHeight;
    const int wanted = m_nameBar->sizeHint().width();
    const int width = std::max(0, std::min(std::max(wanted, 320), this->width() - 32));
    m_nameBar->setGeometry((this->width() - width) / 2, stageHeight - 16 - nameBarHeight, width, nameBarHeight);
}

void CollagesWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int w = width();
    const int stageHeight = height() - trayHeight;
    m_stage->setGeometry(0, 0, w, stageHeight);
    m_topShade->setGeometry(0, 0, w, 46);
    m_bottomShade->setGeometry(0, stageHeight - 120, w, 120);
    m_tray->setGeometry(0, stageHeight, w, trayHeight);
    m_hairline->setGeometry(0, 0, w, 1);
    const QSize buttons = m_buttons->sizeHint();
    m_buttons->setGeometry(w - 16 - buttons.width(), (trayHeight - buttons.height()) / 2, buttons.width(), buttons.height());
    const int scrollRight = w - 16 - buttons.width() - 12;
    m_scroll->setGeometry(16, 16, std::max(0, scrollRight - 16), trayHeight - 32);
    const QSize hint = m_emptyHint->sizeHint();
    m_emptyHint->setGeometry((w - hint.width()) / 2, (stageHeight - hint.height()) / 2, hint.width(), hint.height());
    layoutNameBar();
}
