#pragma once

#include <QAbstractButton>
#include <QImage>

// One collage in the strip: its thumbnail in a rounded frame, ringed in the accent colour
// when it is the one shown on the stage.
class StripButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr QSize fixedSize{128, 80};

    StripButton(const QString &collageName, QWidget *parent = nullptr);

    const QString &collageName() const { return m_name; }
    void setImage(const QImage &image);
    const QImage &image() const { return m_image; }
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_name;
    QImage m_image;
    bool m_selected = false;
};
