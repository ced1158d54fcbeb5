#pragma once

// A press's vectors as an SVG document a few bytes a line, for drawing
// programs that stall on large files: one <path> for each run of strokes of
// one colour, in integer and half-pixel steps relative to the last point.

#include <QByteArray>

#include "picture/vector_picture.hpp"

namespace velmoran::files {

// The document, one unit a device pixel, shown at the picture's logical
// size at `scale`. Each stroke is drawn as paintVectors draws it; a stroke
// joins an earlier path of its colour where no stroke of another colour
// drawn since then reaches its pixels, so the picture is the same.
QByteArray compactSvg(const picture::VectorPicture& picture, double scale, const char* title);

}  // namespace velmoran::files
