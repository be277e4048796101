#include "app/canvas/RevealPacing.h"

#include <algorithm>
#include <cmath>

int RevealPacing::batchFor(double msPerPrint)
{
    if (!(msPerPrint > 0))
        return firstBatch;
    return std::max(1, int(std::floor(frameBudgetMs / msPerPrint)));
}

double RevealPacing::nextEstimate(double estimate, double sample)
{
    return std::max(sample, estimate * 0.75);
}

QList<QUuid> RevealPacing::start(const QList<QUuid> &ids)
{
    m_waiting.append(ids);
    // A batch is already on its way: the next one follows its frame.
    if (m_lastBatch > 0)
        return {};
    return take(m_nextBatch);
}

QList<QUuid> RevealPacing::framePainted(double ms)
{
    if (m_lastBatch > 0) {
        m_msPerPrint = nextEstimate(m_msPerPrint, ms / m_lastBatch);
        // Growing at most twofold a frame: one cheap frame may have been luck.
        m_nextBatch = std::min(batchFor(m_msPerPrint), 2 * m_lastBatch);
    }
    m_lastBatch = 0;
    return take(m_nextBatch);
}

void RevealPacing::clear()
{
    m_waiting.clear();
    m_lastBatch = 0;
}

QList<QUuid> RevealPacing::take(int count)
{
    const int n = std::min(count, int(m_waiting.size()));
    QList<QUuid> batch = m_waiting.first(n);
    m_waiting.remove(0, n);
    m_lastBatch = n;
    return batch;
}
