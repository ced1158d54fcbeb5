#include "files/png_file.hpp"

#include <cerrno>

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>

#include "files/whole_file.hpp"

namespace velmoran::files {

std::optional<int> savePng(const QImage& picture, const QString& path)
{
    const QFileInfo target(path);
    if (target.isDir())
        return EISDIR;
    if (!target.dir().exists())
        return ENOENT;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, "png").write(picture))
        return 0;
    if (const int error = writeWholeFile(path, png))
        return error;
    return std::nullopt;
}

}  // namespace velmoran::files
