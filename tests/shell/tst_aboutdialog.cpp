#include "app/shell/AboutDialog.h"
#include "app/shell/BuildInfo.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

class TestAboutDialog : public QObject {
    Q_OBJECT
private:
    static QString text(const AboutDialog &dialog, const char *name)
    {
        const auto *label = dialog.findChild<QLabel *>(QLatin1String(name));
        return label ? label->text() : QString();
    }

private Q_SLOTS:
    void showsNameVersionPurposeLicenceAndIconAndCloses()
    {
        AboutDialog dialog;
        QCOMPARE(text(dialog, "name"), QStringLiteral("Veloran"));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$")).match(QLatin1String(BuildInfo::version)).hasMatch());
        QCOMPARE(text(dialog, "version"), QStringLiteral("Version %1").arg(QLatin1String(BuildInfo::version)));
        QVERIFY(!text(dialog, "description").isEmpty());
        QVERIFY(text(dialog, "licence").contains(QLatin1String("MIT")));
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("icon"))->pixmap().size(), QSize(96, 96));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Close)->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestAboutDialog)
#include "tst_aboutdialog.moc"
