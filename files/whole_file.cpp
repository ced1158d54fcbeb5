#include "files/whole_file.hpp"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

namespace velmoran::files {

namespace {

// Writes all of `bytes` to `fd` and has them reach the disk; 0, or the errno
// of what failed. Devices and pipes cannot be synchronised, and need not be.
int writeAll(int fd, const QByteArray& bytes)
{
    const char* next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, static_cast<size_t>(left));
        if (written > 0) {
            next += written;
            left -= written;
        } else if (written == 0 || errno != EINTR) {
            return written == 0 ? EIO : errno;
        }
    }
    // A file system may find out only now that it is full.
    if (::fsync(fd) != 0 && errno != EINVAL)
        return errno;
    return 0;
}

// Closes `fd`, keeping the first error.
int closeKeeping(int fd, int error)
{
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        return errno;
    return error;
}

// Writes `bytes` to a new file at `path`, truncating one there; 0 or errno.
int writeInPlace(const QByteArray& path, const QByteArray& bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    return closeKeeping(fd, writeAll(fd, bytes));
}

// Writes `bytes` beside the regular file `path` and moves them over it once
// they are all on disk, with its permissions; 0, or the errno of what
// failed. The file beside it has a short name of its own, so that any name
// the system accepts can be replaced. Where no file can be made beside it,
// it is written in place.
int replaceWholeFile(const QString& file, const QByteArray& path, mode_t mode, const QByteArray& bytes)
{
    QByteArray spare = QFile::encodeName(QFileInfo(file).absolutePath()) + "/.velmoran-XXXXXX";
    const int fd = ::mkostemp(spare.data(), O_CLOEXEC);
    if (fd < 0)
        return writeInPlace(path, bytes);
    int error = ::fchmod(fd, mode & 07777) != 0 ? errno : writeAll(fd, bytes);
    error = closeKeeping(fd, error);
    if (error == 0 && ::rename(spare.constData(), path.constData()) != 0)
        error = errno;
    if (error != 0)
        ::unlink(spare.constData());
    return error;
}

}  // namespace

int writeWholeFile(const QString& file, const QByteArray& bytes)
{
    const QByteArray path = QFile::encodeName(file);
    struct stat before;
    const bool existed = ::stat(path.constData(), &before) == 0;
    if (existed && S_ISREG(before.st_mode)) {
        // Replacing a file the user may not write would get round its
        // permissions.
        if (::faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) != 0)
            return errno;
        // Through a link, the file it names is replaced, not the link.
        const QString target = QFileInfo(file).canonicalFilePath();
        return replaceWholeFile(target, QFile::encodeName(target), before.st_mode, bytes);
    }
    const int error = writeInPlace(path, bytes);
    if (error != 0 && !existed)
        ::unlink(path.constData());
    return error;
}

}  // namespace velmoran::files
