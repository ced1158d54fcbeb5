#pragma once

// The file formats a picture is saved in, chosen by the file's extension.
// No Qt: the command line reads it before Qt starts.

#include <optional>
#include <string_view>

namespace velmoran::ui {

enum class PictureFormat {
    Png,  // the drawing area's pixels
    Svg,  // its lines and boxes as vectors
    Pdf,  // the same vectors on a page of the picture's size
};

// By the name's extension, ".png", ".svg" or ".pdf" in any case; none for
// another.
std::optional<PictureFormat> formatOfFileName(std::string_view name);

}  // namespace velmoran::ui
