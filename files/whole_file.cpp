#include "files/whole_file.hpp"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QSaveFile>

namespace velmoran::ui {

namespace {

// Writes `bytes` beside a regular file and moves them over it once they are
// all on disk; 0, or the errno of what failed. Where no file can be made
// beside it, it is written in place.
int replaceWholeFile(const QString& file, const QByteArray& bytes)
{
    QSaveFile out(file);
    out.setDirectWriteFallback(true);
    const auto failed = [] { return errno != 0 ? errno : EIO; };
    errno = 0;
    if (!out.open(QIODevice::WriteOnly))
        return failed();
    errno = 0;
    if (out.write(bytes) != bytes.size()) {
        const int error = failed();
        out.cancelWriting();
        return error;
    }
    errno = 0;
    return out.commit() ? 0 : failed();
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
        return replaceWholeFile(file, bytes);
    }
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    int error = 0;
    const char* next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0 && error == 0) {
        const ssize_t written = ::write(fd, next, static_cast<size_t>(left));
        if (written > 0) {
            next += written;
            left -= written;
        } else if (written == 0 || errno != EINTR) {
            error = written == 0 ? EIO : errno;
        }
    }
    // A file system may find out only now that it is full. Devices and pipes
    // cannot be synchronised, and need not be.
    if (error == 0 && ::fsync(fd) != 0 && errno != EINVAL)
        error = errno;
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    if (error != 0 && !existed)
        ::unlink(path.constData());
    return error;
}

}  // namespace velmoran::ui
