#pragma once

// The file formats a picture is saved in, chosen by the file's extension.
// No Qt: the command line reads it before Qt starts.

#include <optional>
#include <string_view>

#include "core/errors.hpp"

namespace velmoran::files {

enum class PictureFormat {
    Png,  // the drawing area's pixels
    Svg,  // its lines and boxes as vectors
    Pdf,  // the same vectors on a page of the picture's size
    Gif,  // an animation: the drawing as it grows, or level by level
    Webp,  // the same animation, as lossless WebP
};

// By the name's extension, ".png", ".svg", ".pdf", ".gif" or ".webp" in any
// case; none for another.
std::optional<PictureFormat> formatOfFileName(std::string_view name);

constexpr bool isAnimation(PictureFormat format) { return format == PictureFormat::Gif || format == PictureFormat::Webp; }

// Whether the format draws the figure again as vectors, rather than keep the
// pixels shown.
constexpr bool isVectors(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Svg:
    case PictureFormat::Pdf: return true;
    case PictureFormat::Png:
    case PictureFormat::Gif:
    case PictureFormat::Webp: return false;
    }
    return false;
}

// What became of writing a picture file.
struct WriteOutcome {
    enum class Status { Written, PressFailed, NotWritten, Stopped };
    Status status = Status::Written;
    ErrorKind error = ErrorKind::Overflow;  // for PressFailed
    int errorNumber = 0;                    // for NotWritten: errno, or 0 if none says why
};

// What an animation shows: the drawing as it grows, part by part as the
// pace "Veloce" shows it, or the finished pictures level by level.
enum class AnimationKind { Growth, Levels };

// The growth's whole length in seconds, the finished picture's three
// included: the default and the bounds.
inline constexpr double kGrowthSeconds = 10;
inline constexpr double kMinGrowthSeconds = 4;
inline constexpr double kMaxGrowthSeconds = 120;

}  // namespace velmoran::files
