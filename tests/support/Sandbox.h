#pragma once

#include <QByteArray>
#include <QDir>
#include <QHash>
#include <QString>
#include <QTemporaryDir>

#include <optional>

// Points HOME, the XDG data, config and cache folders and TMPDIR at a fresh temporary
// folder for the object's lifetime, so no test reaches the real home folder. The XDG
// Pictures folder then falls back to home()/Pictures. The environment is restored after.
class Sandbox {
public:
    Sandbox();
    ~Sandbox();

    bool isValid() const { return m_dir.isValid(); }
    QString path(const QString &relative = QString()) const
    {
        return relative.isEmpty() ? m_dir.path() : m_dir.filePath(relative);
    }

    QString home() const { return path(QStringLiteral("home")); }
    QString pictures() const { return path(QStringLiteral("home/Pictures")); }
    QString appSupport() const { return path(QStringLiteral("data/Veloran")); }
    QString temp() const { return path(QStringLiteral("tmp")); }

private:
    QTemporaryDir m_dir;
    QHash<QByteArray, std::optional<QByteArray>> m_saved;
};

namespace TestFiles {

bool write(const QString &path, const QByteArray &bytes); // creates missing parent folders
QByteArray read(const QString &path);                     // empty when unreadable
inline bool makeDir(const QString &path) { return QDir().mkpath(path); }
// Names directly inside folder, hidden ones included, sorted by code point.
QStringList entries(const QString &folder);
// Every path below folder, relative to it, sorted; used to prove nothing else was written.
QStringList tree(const QString &folder);

} // namespace TestFiles

// Sends file descriptor 2 into a temporary file until take() or destruction, so a test can
// read exactly the bytes that were written to standard error.
class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture() { take(); }

    bool isValid() const { return m_savedFd >= 0 && m_fileFd >= 0; }
    // Restores standard error and returns everything written since construction.
    QByteArray take();

private:
    QTemporaryDir m_dir;
    int m_savedFd = -1;
    int m_fileFd = -1;
    QByteArray m_taken;
};
