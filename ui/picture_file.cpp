#include "ui/picture_file.hpp"

#include <cerrno>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

namespace velmoran::ui {

namespace {

// The system's reason for a failed open or write, in Italian; Qt's own
// text comes from the C library in the system's language.
QString reasonFor(int error)
{
    switch (error) {
    case EACCES:
    case EPERM: return QStringLiteral("permesso negato");
    case ENOENT:
    case ENOTDIR: return QStringLiteral("la cartella non esiste");
    case EROFS: return QStringLiteral("il disco è di sola lettura");
    case ENOSPC:
    case EDQUOT: return QStringLiteral("spazio esaurito sul disco");
    case ENAMETOOLONG: return QStringLiteral("nome troppo lungo");
    case EISDIR: return QStringLiteral("è una cartella");
    default: return QStringLiteral("impossibile scrivere il file");
    }
}

// A device or a pipe is written to where it is: it cannot be replaced by a
// file (and must not be: as root that would replace /dev/null itself).
QString writeInPlace(const QImage& picture, const QString& path)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return reasonFor(errno);
    QImageWriter writer(&file, "png");
    errno = 0;
    if (!writer.write(picture) || !file.flush())
        return reasonFor(errno);
    file.close();
    return file.error() == QFileDevice::NoError ? QString() : reasonFor(0);
}

QString writeThenReplace(const QImage& picture, const QString& path)
{
    QSaveFile file(path);
    errno = 0;
    // The folder is there: a missing file is the system refusing to make one.
    if (!file.open(QIODevice::WriteOnly))
        return reasonFor(errno == ENOENT ? 0 : errno);
    QImageWriter writer(&file, "png");
    errno = 0;
    if (!writer.write(picture)) {
        const int error = errno;
        file.cancelWriting();
        return reasonFor(error);
    }
    errno = 0;
    if (!file.commit())
        return reasonFor(errno);
    return {};
}

}  // namespace

QString savePng(const QImage& picture, const QString& path)
{
    const QFileInfo target(path);
    if (target.isDir())
        return reasonFor(EISDIR);
    if (!target.dir().exists())
        return reasonFor(ENOENT);
    if (target.exists() && !target.isWritable())
        return reasonFor(EACCES);
    if (target.exists() && !target.isFile())
        return writeInPlace(picture, path);
    return writeThenReplace(picture, path);
}

QString saveFailedMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("Impossibile salvare l'immagine «%1»: %2.").arg(QDir::toNativeSeparators(path), reason);
}

}  // namespace velmoran::ui
