#pragma once

#include <QString>

// Starting the program when the user logs in, the freedesktop way: a desktop entry in
// $XDG_CONFIG_HOME/autostart. The entry is the only state; nothing is remembered elsewhere,
// so what isEnabled() reports is what the session will do.
class Autostart {
public:
    // $XDG_CONFIG_HOME/autostart/veloran.desktop (~/.config when the variable is unset).
    static QString defaultPath();

    explicit Autostart(QString path = defaultPath());

    const QString &path() const { return m_path; }

    // The entry exists, is not hidden or switched off, and the program its TryExec names (if
    // any) can be found.
    bool isEnabled() const;
    // Writes an entry that runs the executable (an absolute path). False on failure, with
    // errorString() saying why.
    bool enable(const QString &executablePath);
    // Removes the entry; true also when there was none.
    bool disable();
    QString errorString() const { return m_error; }

    // The desktop entry for an executable, Exec quoted as the format requires; empty for a
    // path no entry can hold (not absolute, or with control characters).
    static QByteArray entry(const QString &executablePath);

private:
    QString m_path;
    QString m_error;
};
