#pragma once

// The command line's --export: one press drawn as the window would draw it,
// with no window shown, then saved as a PNG, SVG or PDF file; or its
// growth, or its levels, as an animated GIF or WebP file.

#include <string>

#include "app/command_line.hpp"

namespace velmoran::app {

// Draws the request and writes its file. Returns the one-line Italian
// report of what went wrong, or an empty string when the file is written.
// Needs a QApplication.
std::string exportPicture(const ExportRequest& request);

}  // namespace velmoran::app
