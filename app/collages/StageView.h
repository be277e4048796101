#pragma once

#include <QImage>
#include <QWidget>

// The large preview: the image scaled to fit, centred, on black.
class StageView : public QWidget {
public:
    explicit StageView(QWidget *parent = nullptr);

    void setImage(const QImage &image);
    const QImage &image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
};
