#pragma once

#include <QLabel>

// A one-line label whose digits all take the width of the widest one, so a number that
// changes while it is read (the measurement panel during a drag) neither jitters nor
// resizes its panel. Qt offers no switch for a font's tabular figures.
class TabularLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double digitWidth() const;
    double advance(QChar c) const;
    double textWidth() const;
};
