#include "app/shell/AboutDialog.h"

#include "app/shell/AppIcons.h"
#include "app/shell/BuildInfo.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("About Veloran"));
    setWindowIcon(AppIcons::application());

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(AppIcons::application().pixmap(96, 96));
    icon->setAlignment(Qt::AlignCenter);

    auto *name = new QLabel(QStringLiteral("Veloran"), this);
    name->setObjectName(QStringLiteral("name"));
    QFont nameFont = name->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.6);
    nameFont.setBold(true);
    name->setFont(nameFont);
    name->setAlignment(Qt::AlignCenter);

    auto *version = new QLabel(tr("Version %1").arg(QLatin1String(BuildInfo::version)), this);
    version->setObjectName(QStringLiteral("version"));
    version->setAlignment(Qt::AlignCenter);
    version->setTextInteractionFlags(Qt::TextSelectableByMouse); // for bug reports

    auto *description = new QLabel(tr("Pins your photos onto the desktop as collages."), this);
    description->setObjectName(QStringLiteral("description"));
    description->setAlignment(Qt::AlignCenter);

    auto *licenceLabel = new QLabel(tr("Released under the %1 licence.").arg(licence), this);
    licenceLabel->setObjectName(QStringLiteral("licence"));
    licenceLabel->setAlignment(Qt::AlignCenter);
    QPalette dim = licenceLabel->palette();
    dim.setColor(QPalette::WindowText, dim.color(QPalette::PlaceholderText));
    licenceLabel->setPalette(dim);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 16);
    layout->setSpacing(6);
    layout->addWidget(icon);
    layout->addSpacing(6);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addSpacing(10);
    layout->addWidget(description);
    layout->addWidget(licenceLabel);
    layout->addSpacing(12);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
