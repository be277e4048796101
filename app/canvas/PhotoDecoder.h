#pragma once

#include <QImage>
#include <QObject>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QUuid>

#include <memory>

class QThreadPool;

// Decodes print photos on worker threads and hands the results back on the GUI thread.
// Results are tagged with the caller's generation so it can drop answers to old questions;
// after the decoder is destroyed nothing is delivered at all.
class PhotoDecoder : public QObject {
    Q_OBJECT
public:
    struct Request {
        QUuid id;
        quint64 generation = 0;
        QString fileName;
        QString baseDir;
        QRectF crop;
        QSizeF targetPixels;
    };
    struct Result {
        QUuid id;
        quint64 generation = 0;
        QImage image;
        bool fullDetail = false;
    };

    explicit PhotoDecoder(QObject *parent = nullptr);
    ~PhotoDecoder() override;

    void submit(const Request &request);
    // Submitted and not yet delivered (including answers that will be dropped).
    int inFlight() const { return m_inFlight; }
    quint64 submittedCount() const { return m_submitted; }

    // Shared by all canvases; owned by the application object.
    static QThreadPool *pool();

signals:
    void decoded(const PhotoDecoder::Result &result);

private:
    struct Relay;
    void deliver(const Result &result);

    std::shared_ptr<Relay> m_relay;
    int m_inFlight = 0;
    quint64 m_submitted = 0;
};
