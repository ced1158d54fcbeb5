#include "files/picture_format.hpp"

#include <string>

namespace velmoran::files {

std::optional<PictureFormat> formatOfFileName(std::string_view name)
{
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    std::string extension;
    for (const char c : name.substr(dot + 1))
        extension += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (extension == "png")
        return PictureFormat::Png;
    if (extension == "svg")
        return PictureFormat::Svg;
    if (extension == "pdf")
        return PictureFormat::Pdf;
    if (extension == "gif")
        return PictureFormat::Gif;
    if (extension == "webp")
        return PictureFormat::Webp;
    return std::nullopt;
}

}  // namespace velmoran::files
