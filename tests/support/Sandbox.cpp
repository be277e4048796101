#include "support/Sandbox.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

Sandbox::Sandbox()
{
    if (!m_dir.isValid())
        return;
    const std::pair<const char *, QString> folders[] = {{"HOME", home()}, {"XDG_DATA_HOME", path("data")},
        {"XDG_CONFIG_HOME", path("config")}, {"XDG_CACHE_HOME", path("cache")}, {"TMPDIR", temp()}};
    for (const auto &[name, folder] : folders) {
        QDir().mkpath(folder);
        m_saved.insert(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        qputenv(name, QFile::encodeName(folder));
    }
}

Sandbox::~Sandbox()
{
    for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
        if (it.value())
            qputenv(it.key().constData(), *it.value());
        else
            qunsetenv(it.key().constData());
    }
}

namespace TestFiles {

bool write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList tree(const QString &folder)
{
    QStringList paths;
    const QDir base(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.append(base.relativeFilePath(it.next()));
    paths.sort();
    return paths;
}

} // namespace TestFiles

StderrCapture::StderrCapture()
{
    if (!m_dir.isValid())
        return;
    const QByteArray file = QFile::encodeName(m_dir.filePath(QStringLiteral("stderr")));
    // O_APPEND keeps concurrent writers from overwriting each other's bytes.
    m_fileFd = ::open(file.constData(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (m_fileFd < 0)
        return;
    m_savedFd = ::dup(STDERR_FILENO);
    if (m_savedFd >= 0)
        ::dup2(m_fileFd, STDERR_FILENO);
}

QByteArray StderrCapture::take()
{
    if (m_savedFd >= 0) {
        ::dup2(m_savedFd, STDERR_FILENO);
        ::close(m_savedFd);
        m_savedFd = -1;
        m_taken = TestFiles::read(m_dir.filePath(QStringLiteral("stderr")));
    }
    if (m_fileFd >= 0) {
        ::close(m_fileFd);
        m_fileFd = -1;
    }
    return m_taken;
}
