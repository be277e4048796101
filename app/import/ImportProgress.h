#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QProgressBar;

// A small panel at the top of a screen that counts the files of a long import. It appears
// only when the batch is still running after showAfterMs, so quick imports never flash it.
class ImportProgress : public QWidget {
    Q_OBJECT
public:
    static constexpr int showAfterMs = 500;

    explicit ImportProgress(QWidget *parent);

    void start(int total);
    void setProgress(int done, int total);
    QString text() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();

    QLabel *m_label;
    QProgressBar *m_bar;
    QTimer m_delay;
};
