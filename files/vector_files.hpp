#pragma once

// Saving a press's vectors as an SVG or PDF file, through the one painting
// path of paintVectors, as writeWholeFile writes.

#include <optional>

#include <QString>

#include "picture/vector_picture.hpp"

namespace velmoran::files {

// At `scale` device pixels a logical pixel, the picture is drawn at; its
// logical size is the page's or drawing's. Nothing once saved; else the
// system's error number, 0 if none says why.
std::optional<int> saveSvg(const picture::VectorPicture& picture, double scale, const QString& path);
std::optional<int> saveVectorPdf(const picture::VectorPicture& picture, double scale, const QString& path);

}  // namespace velmoran::files
