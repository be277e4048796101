#pragma once

#include <QString>

// The one logging front end: the systemd journal (subsystem and category as fields) and,
// always, one line "[category] LEVEL: message" on standard error, written in one write.
class Log {
public:
    static inline const QString subsystem = QStringLiteral("com.veloran.app");

    explicit Log(QString category);

    static const Log &app();
    static const Log &edit();
    static const Log &importing();
    static const Log &store();

    const QString &category() const { return m_category; }

    void info(const QString &message) const;
    void error(const QString &message) const;
    void debug(const QString &message) const;

private:
    enum class Level { Info, Error, Debug };
    void write(Level level, const QString &message) const;

    QString m_category;
};
