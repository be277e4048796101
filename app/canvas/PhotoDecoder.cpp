#include "app/canvas/PhotoDecoder.h"

#include "app/canvas/ImageLoader.h"
#include "platform/threads/BackgroundPriority.h"

#include <QCoreApplication>
#include <algorithm>
#include <QPointer>
#include <QThread>
#include <QThreadPool>

// Lives on the GUI thread and outlives the decoder while workers still hold it; the
// decoder cuts the link when it goes, so late answers find nobody to deliver to.
struct PhotoDecoder::Relay : QObject {
    PhotoDecoder *target = nullptr;
};

namespace {

void releaseRelay(QObject *relay)
{
    if (QThread::currentThread() == relay->thread())
        delete relay;
    else
        relay->deleteLater();
}

} // namespace

PhotoDecoder::PhotoDecoder(QObject *parent)
    : QObject(parent), m_relay(new Relay, [](Relay *relay) { releaseRelay(relay); })
{
    m_relay->target = this;
}

PhotoDecoder::~PhotoDecoder()
{
    m_relay->target = nullptr;
}

QThreadPool *PhotoDecoder::pool()
{
    static QPointer<QThreadPool> shared;
    if (!shared) {
        shared = new QThreadPool(QCoreApplication::instance());
        shared->setObjectName(QStringLiteral("photo decoding"));
        shared->setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    }
    return shared;
}

void PhotoDecoder::submit(const Request &request)
{
    ++m_inFlight;
    ++m_submitted;
    std::shared_ptr<Relay> relay = m_relay;
    pool()->start([relay, request]() {
        lowerCurrentThreadPriority();
        const ImageLoader::Fit fit =
            ImageLoader::imageForDisplay(request.fileName, request.crop, request.baseDir, request.targetPixels);
        Result result{request.id, request.generation, fit.image, fit.fullDetail};
        Relay *receiver = relay.get();
        QMetaObject::invokeMethod(
            receiver,
            [relay = std::move(relay), result = std::move(result)]() {
                if (relay->target)
                    relay->target->deliver(result);
            },
            Qt::QueuedConnection);
    });
}

void PhotoDecoder::deliver(const Result &result)
{
    --m_inFlight;
    emit decoded(result);
}
