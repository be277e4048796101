#pragma once

#include <QList>
#include <QUuid>

// Brings a crowd of new prints onto the screen over a few short frames instead of one
// long one: a fresh collage of thirty prints costs 30 to 50 ms to paint, and the GUI thread
// (every canvas, the tray menu) would stand still meanwhile. Each frame takes as many
// prints as the last frame's cost says fit in the budget. Prints already on screen are
// never held back, so restacking or editing a collage shows no flicker.
class RevealPacing {
public:
    // A third of a 60 Hz frame: the cost of a print varies with what it overlaps and with
    // the decoders' load, so both the budget and the estimate are kept pessimistic.
    static constexpr double frameBudgetMs = 5;
    // Before any frame was measured: the first paint also pays for shadow tiles and glyphs.
    static constexpr int firstBatch = 2;

    // Queues `ids` (bottom first) behind those already waiting; returns the ones to show now.
    QList<QUuid> start(const QList<QUuid> &ids);
    // A frame that showed the last batch took `ms`; returns the next batch to show.
    QList<QUuid> framePainted(double ms);
    // Forgets everything waiting: their prints are gone or shown otherwise.
    void clear();

    // Prints wait, or the frame of the last batch is still to be measured.
    bool isActive() const { return m_lastBatch > 0 || !m_waiting.isEmpty(); }
    int pendingCount() const { return int(m_waiting.size()); }
    // Prints that fit in the budget at `msPerPrint` each; at least one.
    static int batchFor(double msPerPrint);
    // The cost per print to plan with, after a frame cost `sample` per print: a dear frame
    // counts at once, a cheap one lowers the estimate only gradually.
    static double nextEstimate(double estimate, double sample);

private:
    QList<QUuid> take(int count);

    QList<QUuid> m_waiting;
    int m_lastBatch = 0;
    int m_nextBatch = firstBatch;
    double m_msPerPrint = 0;
};
