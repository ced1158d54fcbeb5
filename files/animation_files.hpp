#pragma once

// Animated GIF and WebP files, encoded frame by frame as a drawing is
// captured: only the frame before the latest is kept, and each frame stores
// only the rectangle that changed, so a growth of thousands of frames stays
// small in memory and on disk. giflib and libwebp do the encoding.

#include <memory>
#include <stdexcept>

#include <QByteArray>
#include <QImage>

#include "files/picture_format.hpp"

namespace velmoran::files {

// The encoder could not go on (out of memory, too many colours for a GIF):
// the file is not written.
class AnimationFault : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class AnimationEncoder {
public:
    // For PictureFormat::Gif or PictureFormat::Webp; loops for ever.
    static std::unique_ptr<AnimationEncoder> make(PictureFormat format);
    virtual ~AnimationEncoder();

    // The next frame, shown for `centiseconds`; all frames are the first's
    // size, in QImage::Format_RGB32. A frame equal to the one before it
    // only lengthens that one. Raises AnimationFault.
    void add(const QImage& frame, int centiseconds);
    // The whole file; nothing can be added after. Raises AnimationFault.
    QByteArray finish();
    // Frames stored so far, merged ones counting once.
    int framesStored() const { return stored_; }

protected:
    AnimationEncoder() = default;
    virtual void encode(const QImage& frame, int centiseconds) = 0;
    virtual QByteArray assemble() = 0;

private:
    // Held back until the next different frame tells how long it shows.
    QImage pending_;
    int pendingCentiseconds_ = 0;
    int stored_ = 0;
};

}  // namespace velmoran::files
