#include "core/Log.h"

#include <QByteArray>

#include <cerrno>
#include <utility>
#include <unistd.h>

#ifdef VELORAN_HAVE_SYSTEMD
#include <sys/uio.h>
#include <syslog.h>
#include <systemd/sd-journal.h>
#endif

namespace {

// The whole line goes out in one write(2) so that lines from the main thread and the save
// queue never interleave; only a short write makes us continue with the rest.
void writeToStandardError(const QByteArray &line)
{
    const char *data = line.constData();
    qsizetype left = line.size();
    while (left > 0) {
        const ssize_t written = ::write(STDERR_FILENO, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        data += written;
        left -= written;
    }
}

#ifdef VELORAN_HAVE_SYSTEMD
void sendToJournal(int priority, const QString &category, const QString &message)
{
    // sd_journal_sendv takes every field as raw bytes, so a message may hold '%', line
    // feeds or NUL characters without being cut or reformatted.
    const QByteArray fields[] = {
        QByteArrayLiteral("MESSAGE=") + message.toUtf8(),
        QByteArrayLiteral("PRIORITY=") + QByteArray::number(priority),
        QByteArrayLiteral("SUBSYSTEM=") + Log::subsystem.toUtf8(),
        QByteArrayLiteral("CATEGORY=") + category.toUtf8(),
    };
    constexpr int count = sizeof(fields) / sizeof(fields[0]);
    struct iovec vector[count];
    for (int i = 0; i < count; ++i) {
        vector[i].iov_base = const_cast<char *>(fields[i].constData());
        vector[i].iov_len = static_cast<size_t>(fields[i].size());
    }
    sd_journal_sendv(vector, count);
}
#endif

} // namespace

Log::Log(QString category) : m_category(std::move(category)) {}

const Log &Log::app()
{
    static const Log channel(QStringLiteral("app"));
    return channel;
}

const Log &Log::edit()
{
    static const Log channel(QStringLiteral("edit"));
    return channel;
}

const Log &Log::importing()
{
    static const Log channel(QStringLiteral("import"));
    return channel;
}

const Log &Log::store()
{
    static const Log channel(QStringLiteral("store"));
    return channel;
}

void Log::info(const QString &message) const
{
    write(Level::Info, message);
}

void Log::error(const QString &message) const
{
    write(Level::Error, message);
}

void Log::debug(const QString &message) const
{
    write(Level::Debug, message);
}

void Log::write(Level level, const QString &message) const
{
    const char *word = "INFO";
    switch (level) {
    case Level::Info:
        word = "INFO";
        break;
    case Level::Error:
        word = "ERROR";
        break;
    case Level::Debug:
        word = "DEBUG";
        break;
    }

#ifdef VELORAN_HAVE_SYSTEMD
    int priority = LOG_INFO;
    switch (level) {
    case Level::Info:
        priority = LOG_INFO;
        break;
    case Level::Error:
        priority = LOG_ERR;
        break;
    case Level::Debug:
        priority = LOG_DEBUG;
        break;
    }
    sendToJournal(priority, m_category, message);
#endif

    const QString line = QLatin1Char('[') + m_category + QStringLiteral("] ")
        + QLatin1String(word) + QStringLiteral(": ") + message + QLatin1Char('\n');
    writeToStandardError(line.toUtf8());
}
