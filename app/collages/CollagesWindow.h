#pragma once

#include <QWidget>

class GradientWidget;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QScrollArea;
class QToolButton;
class StageView;

// The "Collages" window's widgets and their places: the stage with its shades and hint, the
// tray with the thumbnail strip and the plus and minus buttons, and the name bar floating
// over the stage. What they show is up to CollagesWindowController.
class CollagesWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int trayHeight = 120;
    static constexpr int nameBarHeight = 44;

    explicit CollagesWindow(QWidget *parent = nullptr);

    StageView *stage() const { return m_stage; }
    QLabel *emptyHint() const { return m_emptyHint; }
    QWidget *nameBar() const { return m_nameBar; }
    QLineEdit *nameField() const { return m_nameField; }
    // One checkable button per screen lives in here.
    QWidget *showOn() const { return m_showOn; }
    QHBoxLayout *showOnLayout() const { return m_showOnLayout; }
    QScrollArea *stripScroll() const { return m_scroll; }
    QHBoxLayout *stripLayout() const { return m_stripLayout; }
    QToolButton *plusButton() const { return m_plus; }
    QToolButton *minusButton() const { return m_minus; }
    // The name bar's width follows its contents; call after they change.
    void layoutNameBar();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *trayButton(const QString &symbol, const QString &name);

    StageView *m_stage;
    QLabel *m_emptyHint;
    GradientWidget *m_topShade;
    GradientWidget *m_bottomShade;
    GradientWidget *m_tray;
    QWidget *m_hairline;
    QScrollArea *m_scroll;
    QWidget *m_strip;
    QHBoxLayout *m_stripLayout;
    QWidget *m_buttons;
    QToolButton *m_plus;
    QToolButton *m_minus;
    QWidget *m_nameBar;
    QLineEdit *m_nameField;
    QWidget *m_showOn;
    QHBoxLayout *m_showOnLayout;
};
