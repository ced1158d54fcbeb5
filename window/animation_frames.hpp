#pragma once

// A press drawn offscreen as an animation: the picture after a rising
// number of parts, exactly as a paced drawing shows it on its way, or the
// finished pictures level by level; each frame handed on as it is drawn,
// for --export and "Esporta l'animazione…".

#include <functional>
#include <optional>
#include <string>

#include <QImage>
#include <QString>

#include "core/errors.hpp"
#include "files/picture_format.hpp"
#include "fractals/figure_table.hpp"

namespace velmoran::window {

struct AnimationRequest {
    Figure figure = Figure::SierpinskiTriangle;
    // The count box's text, as typed.
    std::string text;
    double scale = 1;
    files::AnimationKind kind = files::AnimationKind::Growth;
    // The growth's whole length.
    double seconds = files::kGrowthSeconds;
};

// Each frame as it is drawn, with how long it shows, in hundredths of a
// second; the image is only lent.
using FrameSink = std::function<void(const QImage& frame, int centiseconds)>;
// How many frames are done out of how many; false stops the animation.
using AnimationProgress = std::function<bool(int done, int total)>;

// Hands `sink` the frames of `request`: for the growth, the picture after
// the first m parts, m rising evenly over the seconds asked for from 0 (the
// blank area) to all of them, then the finished picture held 3 s; level by
// level, the finished picture at 0, 1, ... up to the count, each held 1 s
// and the last 3 s. A count that never ends gives what its drawing shows
// before it would wait for ever: its parts up to there, its levels up to
// the first such one. The error a press ended in, if any; `stopped` is set
// where `progress` said to stop. Needs a QApplication.
std::optional<ErrorKind> animationFrames(const AnimationRequest& request, const FrameSink& sink,
                                         const AnimationProgress& progress, bool& stopped);

// The animation of `request` as a GIF or WebP file at `path`, written
// whole or not at all; nothing is written when stopped.
files::WriteOutcome saveAnimation(const AnimationRequest& request, files::PictureFormat format, const QString& path,
                               const AnimationProgress& progress);

}  // namespace velmoran::window
