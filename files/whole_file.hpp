#pragma once

// Writing a file the person chose: all of it, or nothing changed.

#include <QByteArray>
#include <QString>

namespace velmoran::files {

// Writes `bytes` as the whole of `path`. Returns 0, or the errno of what
// failed. A failure leaves an earlier regular file as it was, and removes a
// file it created. Devices and pipes are written where they are: replacing
// one would, as root, replace /dev/null itself.
int writeWholeFile(const QString& path, const QByteArray& bytes);

}  // namespace velmoran::files
