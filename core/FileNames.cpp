#include "core/FileNames.h"

#include "core/FileOps.h"

#include <QCollator>
#include <QLocale>
#include <QTextBoundaryFinder>

#include <limits>

namespace {

// UTF-8 length without converting; a lone surrogate counts as the three bytes of the
// replacement character it becomes.
qsizetype utf8Size(QStringView text)
{
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit < 0x80) {
            bytes += 1;
        } else if (unit < 0x800) {
            bytes += 2;
        } else if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            bytes += 4;
            ++i;
        } else {
            bytes += 3;
        }
    }
    return bytes;
}

// The longest prefix of text that fits into maxBytes of UTF-8, cut between graphemes so
// an accent is never separated from its letter. A single grapheme larger than the whole
// budget (a letter under hundreds of combining marks) is cut between code points instead.
QString fitToBytes(const QString &text, qsizetype maxBytes)
{
    if (maxBytes <= 0)
        return {};
    if (utf8Size(text) <= maxBytes)
        return text;

    qsizetype length = 0;
    {
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
        qsizetype bytes = 0;
        for (qsizetype next = graphemes.toNextBoundary(); next != -1; next = graphemes.toNextBoundary()) {
            bytes += utf8Size(QStringView(text).sliced(length, next - length));
            if (bytes > maxBytes)
                break;
            length = next;
        }
    }
    if (length == 0) {
        qsizetype bytes = 0;
        while (length < text.size()) {
            const bool pair = text.at(length).isHighSurrogate() && length + 1 < text.size()
                && text.at(length + 1).isLowSurrogate();
            const qsizetype step = pair ? 2 : 1;
            bytes += utf8Size(QStringView(text).sliced(length, step));
            if (bytes > maxBytes)
                break;
            length += step;
        }
    }
    return text.left(length);
}

QCollator makeCollator()
{
    QLocale locale;
    // In the C locale Qt compares code points, ignoring numeric mode and case, which would
    // put "Trip 10" before "Trip 2" on machines without a configured language.
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

// QCollator is costly to set up and not safe to share between threads.
const QCollator &collator()
{
    thread_local const QCollator instance = makeCollator();
    return instance;
}

// Tries candidate(1), candidate(2), ... and returns the first free one. The bound only
// keeps the counter from overflowing; no folder holds that many entries.
template <typename Candidate>
QString firstFree(const QString &folder, Candidate candidate)
{
    QString name = candidate(1);
    for (qint64 n = 2; n < std::numeric_limits<qint64>::max() && FileOps::entryExists(FileOps::join(folder, name)); ++n)
        name = candidate(n);
    return name;
}

} // namespace

namespace FileNames {

QString sanitize(const QString &name)
{
    QString result = name;
    for (QChar &c : result) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') || c.isNull())
            c = QLatin1Char('-');
    }
    // Trimmed again after the dots go and after the cut, so that a sanitised name comes back
    // unchanged: a collage's folder name is how it is found again at the next start.
    for (qsizetype before = -1; before != result.size();) {
        before = result.size();
        result = result.trimmed();
        qsizetype dots = 0;
        while (dots < result.size() && result.at(dots) == QLatin1Char('.'))
            ++dots;
        result.remove(0, dots);
    }
    result = fitToBytes(result, maxComponentBytes).trimmed();
    return result.isEmpty() ? untitled : result;
}

QString deduplicated(const QString &base, const QString &ext, const QString &folder)
{
    const QString suffix = ext.isEmpty() ? QString() : QLatin1Char('.') + ext;
    return firstFree(folder, [&](qint64 n) {
        const QString tail = (n == 1 ? QString() : QLatin1Char('-') + QString::number(n)) + suffix;
        return fitToBytes(base, maxComponentBytes - utf8Size(tail)) + tail;
    });
}

QString deduplicatedDir(const QString &base, const QString &folder)
{
    return deduplicated(base, QString(), folder);
}

bool isPlainComponent(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

int localizedStandardCompare(const QString &a, const QString &b)
{
    const int order = collator().compare(a, b);
    if (order != 0)
        return order < 0 ? -1 : 1;
    const int tie = QString::compare(a, b, Qt::CaseSensitive);
    return tie < 0 ? -1 : (tie > 0 ? 1 : 0);
}

} // namespace FileNames
