#pragma once

// Where the stage's view lies on the figure redrawn: the scale that fits
// the whole picture in the view, the zoom's steps by factors of 2 from it,
// and the view's rectangle of that scale's picture. The picture at each
// step is the export's at that scale (zoomedPicture).

#include <cmath>

#include <QPointF>
#include <QRect>
#include <QSize>

#include "picture/cropped_surface.hpp"

namespace velmoran::window {

// The largest scale at which the whole picture of `inner` fits in `view`
// device pixels: round(inner * scale) no more than the view on either axis.
inline double fittingScale(QSize view, QSize inner)
{
    const double scale = std::min(static_cast<double>(view.width()) / inner.width(),
                                  static_cast<double>(view.height()) / inner.height());
    return std::max(scale, 0.25);
}

// The deepest step from `fit` at which the picture stays exact.
inline int deepestZoomStep(double fit)
{
    int step = 0;
    while (std::ldexp(fit, step + 1) <= picture::kDeepestRatio)
        ++step;
    return step;
}

// The view of `size` device pixels centred on `centre`, a point of the
// picture at `scale` in device pixels.
inline QRect viewAround(QPointF centre, QSize size)
{
    return {static_cast<int>(std::floor(centre.x() - size.width() / 2.0)),
            static_cast<int>(std::floor(centre.y() - size.height() / 2.0)), size.width(), size.height()};
}

}  // namespace velmoran::window
