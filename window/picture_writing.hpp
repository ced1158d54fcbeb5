#pragma once

// Writing a picture file in any of its formats, the one place that chooses
// how each format is made: for the save dialog, "Esporta l'animazione…" and
// the command line's --export alike.

#include <optional>
#include <string>

#include <QImage>
#include <QString>

#include "files/picture_format.hpp"
#include "window/animation_frames.hpp"

namespace velmoran::window {

// What a file is made of: the figure pressed afresh, offscreen, at `scale`
// device pixels a logical pixel; for a PNG, the pixels already shown where
// there are some. Without a figure, vectors show the blank area and an
// animation cannot be made.
struct PictureRequest {
    std::optional<Figure> figure;
    // The count box's text, as typed.
    std::string text;
    double scale = 1;
    files::AnimationKind animation = files::AnimationKind::Growth;
    double seconds = files::kGrowthSeconds;
    QImage shown;
};

// Writes `request` to `path` in `format`, whole or not at all. `progress`
// is asked between an animation's frames and may stop it.
files::WriteOutcome writePicture(files::PictureFormat format, const PictureRequest& request, const QString& path,
                          const AnimationProgress& progress = {});

// What to tell the person of an outcome, in Italian: empty where the file
// was written or the person stopped it.
std::string writeProblem(const files::WriteOutcome& outcome, const QString& path);

}  // namespace velmoran::window
