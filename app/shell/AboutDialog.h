#pragma once

#include <QDialog>
#include <QIcon>

// The program's name, version, icon, purpose and licence in a small window.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *parent = nullptr);

    static inline const QString licence = QStringLiteral("MIT");
};
