#pragma once

// "Esporta l'animazione…": a figure at a count, as its growth or level by
// level, written as an animated GIF or WebP file under a progress dialog
// whose "Annulla" stops it, the window answering all along.

#include <optional>
#include <string>

#include <QString>

#include "files/picture_format.hpp"
#include "fractals/figure_table.hpp"
#include "window/picture_writing.hpp"

class QWidget;

namespace velmoran::window {

struct AnimationChoice {
    files::AnimationKind kind = files::AnimationKind::Growth;
    double seconds = files::kGrowthSeconds;
};

// Asks growth or level by level, and the growth's seconds; none if the
// person declined.
std::optional<AnimationChoice> askAnimationChoice(QWidget* parent);
// Asks where to save an animation, starting in `folder` with `name`
// proposed; empty if declined.
QString askAnimationFileName(QWidget* parent, const QString& folder, const QString& name);

struct AnimationExported {
    QString file;     // where it was saved; empty if it was not
    QString problem;  // what to report; empty if nothing
};

// Writes `request` to `file` with a progress dialog over `window`, handing
// the window its events as the frames are drawn. Stopped by "Annulla", or
// when `ending` becomes true.
AnimationExported writeAnimationWithProgress(QWidget& window, const PictureRequest& request,
                                             files::PictureFormat format, const QString& file, const bool& ending);

// The whole flow for `figure` at `text`: the choice, the file where
// `file` is empty (else by its extension), the writing.
AnimationExported exportAnimation(QWidget& window, Figure figure, const std::string& text, double scale,
                                  const QString& folder, QString file, const bool& ending);

}  // namespace velmoran::window
