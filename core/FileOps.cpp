#include "core/FileOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace FileOps {

QString join(const QString &folder, const QString &name)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

bool entryExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

Status makePath(const QString &folder)
{
    if (QFileInfo(folder).isDir())
        return {};
    errno = 0;
    if (QDir().mkpath(folder))
        return {};
    const int code = errno;
    QString message = QStringLiteral("cannot create folder %1").arg(folder);
    if (code != 0)
        message += QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(code));
    return Error{message};
}

Expected<QByteArray> readAll(const QString &path)
{
    // Opening a FIFO or device found under a file name would block or never end.
    if (const QFileInfo info(path); info.exists() && !info.isFile())
        return Error{QStringLiteral("cannot read %1: not a regular file").arg(path)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Error{QStringLiteral("cannot read %1: %2").arg(path, file.errorString())};
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Error{QStringLiteral("cannot read %1: %2").arg(path, file.errorString())};
    return bytes;
}

Status writeAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Error{QStringLiteral("cannot write %1: %2").arg(path, file.errorString())};
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return Error{QStringLiteral("cannot write %1: %2").arg(path, reason)};
    }
    if (!file.commit())
        return Error{QStringLiteral("cannot write %1: %2").arg(path, file.errorString())};
    return {};
}

void backUpCorrupt(const QString &path)
{
    const QString backup = path + QStringLiteral(".corrupt");
    QFile::remove(backup);
    QFile::copy(path, backup);
}

} // namespace FileOps
