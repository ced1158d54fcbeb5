#pragma once

// Saving the drawing area's picture as a PNG file, pixel for pixel, from the
// window's "Salva immagine..." and from the command line's --export.

#include <QImage>
#include <QString>

namespace velmoran::ui {

// Writes `picture` to `path` as PNG, losslessly, at its size in pixels, as
// writeWholeFile writes: a failure leaves any earlier file at `path` as it
// was. Returns why it failed, in Italian ("permesso negato"), or an empty
// string once saved.
QString savePng(const QImage& picture, const QString& path);

// The report of a failed save: «Impossibile salvare l'immagine «PATH»: WHY.»
QString saveFailedMessage(const QString& path, const QString& reason);

}  // namespace velmoran::ui
