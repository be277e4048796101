#pragma once

#include <QWidget>

// The dimming layer of the editing mode: black at a fixed opacity, filling its parent and
// lying just under the canvas.
class Backdrop : public QWidget {
    Q_OBJECT
public:
    static constexpr double alpha = 0.45;
    static constexpr double reducedTransparencyAlpha = 0.75;

    Backdrop(QWidget *parent, bool reduceTransparency);

    double opacity() const { return m_alpha; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    double m_alpha;
};
