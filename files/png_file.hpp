#pragma once

// Saving the drawing area's picture as a PNG file, pixel for pixel, from the
// window's "Salva immagine..." and from the command line's --export.

#include <optional>

#include <QImage>
#include <QString>

namespace velmoran::files {

// Writes `picture` to `path` as PNG, losslessly, at its size in pixels, as
// writeWholeFile writes: a failure leaves any earlier file at `path` as it
// was. Nothing once saved; else the system's error number, 0 if none says
// why.
std::optional<int> savePng(const QImage& picture, const QString& path);

}  // namespace velmoran::files
