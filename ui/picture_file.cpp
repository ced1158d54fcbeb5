#include "ui/picture_file.hpp"

#include <cerrno>

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>

#include "ui/whole_file.hpp"

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

}  // namespace

QString savePng(const QImage& picture, const QString& path)
{
    const QFileInfo target(path);
    if (target.isDir())
        return reasonFor(EISDIR);
    if (!target.dir().exists())
        return reasonFor(ENOENT);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, "png").write(picture))
        return reasonFor(0);
    if (const int error = writeWholeFile(path, png))
        return reasonFor(error);
    return {};
}

QString saveFailedMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("Impossibile salvare l'immagine «%1»: %2.").arg(QDir::toNativeSeparators(path), reason);
}

}  // namespace velmoran::ui
