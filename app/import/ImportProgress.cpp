#include "app/import/ImportProgress.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QVBoxLayout>

ImportProgress::ImportProgress(QWidget *parent)
    : QWidget(parent), m_label(new QLabel(this)), m_bar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("import-progress"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 10, 16, 12);
    layout->setSpacing(6);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setStyleSheet(QStringLiteral("color: white;"));
    m_bar->setTextVisible(false);
    m_bar->setFixedHeight(4);
    m_bar->setStyleSheet(QStringLiteral("QProgressBar { background: rgba(255,255,255,60); border: none; border-radius: 2px; }"
                                        "QProgressBar::chunk { background: white; border-radius: 2px; }"));
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    setFixedWidth(260);
    hide();

    m_delay.setSingleShot(true);
    m_delay.setInterval(showAfterMs);
    connect(&m_delay, &QTimer::timeout, this, [this] {
        place();
        show();
        raise();
    });
    if (parent)
        parent->installEventFilter(this);
}

void ImportProgress::start(int total)
{
    setProgress(0, total);
    m_delay.start();
}

void ImportProgress::setProgress(int done, int total)
{
    m_label->setText(tr("Adding photos… %1 of %2").arg(done).arg(total));
    m_bar->setRange(0, qMax(1, total));
    m_bar->setValue(done);
}

QString ImportProgress::text() const
{
    return m_label->text();
}

void ImportProgress::place()
{
    adjustSize();
    if (QWidget *parent = parentWidget())
        move((parent->width() - width()) / 2, 24);
}

bool ImportProgress::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        place();
    return QWidget::eventFilter(watched, event);
}

void ImportProgress::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath outline;
    outline.addRoundedRect(QRectF(rect()), 10, 10);
    painter.fillPath(outline, QColor(30, 30, 30, 210));
}
