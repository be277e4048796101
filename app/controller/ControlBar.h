#pragma once

#include <QFrame>
#include <QRegion>

class QAbstractButton;
class QHBoxLayout;

// The floating panel of the editing mode: a dark translucent rounded panel holding a row
// of buttons, centred horizontally near the bottom of its parent, above its other children.
class ControlBar : public QFrame {
    Q_OBJECT
public:
    static constexpr int cornerRadius = 14;
    static constexpr int spacing = 8;
    static constexpr int insetTop = 8;
    static constexpr int insetLeft = 12;
    static constexpr int insetBottom = 8;
    static constexpr int insetRight = 12;

    explicit ControlBar(QWidget *parent);

    void addButton(QAbstractButton *button);
    // Distance between the panel's bottom edge and its parent's bottom edge.
    int bottomInset() const { return m_bottomInset; }
    void setBottomInset(int inset);
    void place();
    // The panel's rounded outline in its parent's coordinates.
    QRegion outline() const;

signals:
    void placed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QHBoxLayout *m_row;
    int m_bottomInset = 20;
};
