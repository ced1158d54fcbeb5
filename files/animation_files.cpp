#include "files/animation_files.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

#include <gif_lib.h>
#include <webp/encode.h>
#include <webp/mux.h>

namespace velmoran::files {

namespace {

const QRgb* rowOf(const QImage& image, int y) { return reinterpret_cast<const QRgb*>(image.constScanLine(y)); }

bool samePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    const auto bytes = static_cast<std::size_t>(a.width()) * sizeof(QRgb);
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(rowOf(a, y), rowOf(b, y), bytes) != 0)
            return false;
    return true;
}

// The smallest rectangle holding every pixel that differs; empty if none.
QRect changedRect(const QImage& before, const QImage& after)
{
    int left = after.width(), right = -1, top = -1, bottom = -1;
    for (int y = 0; y < after.height(); ++y) {
        const QRgb* a = rowOf(before, y);
        const QRgb* b = rowOf(after, y);
        int x = 0;
        while (x < after.width() && a[x] == b[x])
            ++x;
        if (x == after.width())
            continue;
        int last = after.width() - 1;
        while (a[last] == b[last])
            --last;
        left = std::min(left, x);
        right = std::max(right, last);
        if (top < 0)
            top = y;
        bottom = y;
    }
    return top < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// GIF: a global table of 16 colours, the last of them transparent. The
// figures have a handful of colours, all known only once every frame has
// been seen, so they are given indexes as they come and the table, whose
// place in the file is fixed, is filled in last.
class GifEncoder final : public AnimationEncoder {
public:
    GifEncoder() = default;
    ~GifEncoder() override
    {
        if (gif_) {
            int error = 0;
            EGifCloseFile(gif_, &error);
        }
    }

private:
    static constexpr int kTableSize = 16;
    static constexpr GifPixelType kTransparent = kTableSize - 1;
    // "GIF89a" and the logical screen descriptor come before the table.
    static constexpr int kTableOffset = 13;

    static int collect(GifFileType* gif, const GifByteType* bytes, int length)
    {
        static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
        return length;
    }

    void check(int status, const char* what) const
    {
        if (status == GIF_ERROR)
            throw AnimationFault(std::string("GIF: ") + what + ": " + GifErrorString(gif_ ? gif_->Error : 0));
    }

    void start(const QImage& frame)
    {
        int error = 0;
        gif_ = EGifOpen(&bytes_, collect, &error);
        if (!gif_)
            throw AnimationFault(std::string("GIF: ") + GifErrorString(error));
        EGifSetGifVersion(gif_, true);
        ColorMapObject* table = GifMakeMapObject(kTableSize, nullptr);
        if (!table)
            throw AnimationFault("GIF: no memory for the colour table");
        const int status = EGifPutScreenDesc(gif_, frame.width(), frame.height(), 8, 0, table);
        GifFreeMapObject(table);
        check(status, "screen");
        // Shown over and over, as a slide or a web page would.
        static const GifByteType kNetscape[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
        static const GifByteType kLoopForEver[] = {1, 0, 0};
        check(EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE), "loop");
        check(EGifPutExtensionBlock(gif_, sizeof kNetscape, kNetscape), "loop");
        check(EGifPutExtensionBlock(gif_, sizeof kLoopForEver, kLoopForEver), "loop");
        check(EGifPutExtensionTrailer(gif_), "loop");
    }

    GifPixelType indexOf(QRgb colour)
    {
        if (colour == lastColour_ && lastIndex_ >= 0)
            return static_cast<GifPixelType>(lastIndex_);
        auto found = std::find(colours_.begin(), colours_.end(), colour);
        if (found == colours_.end()) {
            if (colours_.size() == kTransparent)
                throw AnimationFault("GIF: more colours than the table holds");
            colours_.push_back(colour);
            found = colours_.end() - 1;
        }
        lastColour_ = colour;
        lastIndex_ = static_cast<int>(found - colours_.begin());
        return static_cast<GifPixelType>(lastIndex_);
    }

    void encode(const QImage& frame, int centiseconds) override
    {
        const bool first = previous_.isNull();
        if (first)
            start(frame);
        const QRect rect = first ? frame.rect() : changedRect(previous_, frame);
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_DO_NOT;
        control.DelayTime = std::min(centiseconds, 65535);
        // Pixels left as they were are transparent: long runs of one index.
        control.TransparentColor = first ? NO_TRANSPARENT_COLOR : kTransparent;
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        check(EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, sizeof extension, extension), "delay");
        check(EGifPutImageDesc(gif_, rect.x(), rect.y(), rect.width(), rect.height(), false, nullptr), "frame");
        std::vector<GifPixelType> line(static_cast<std::size_t>(rect.width()));
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            const QRgb* now = rowOf(frame, y) + rect.x();
            const QRgb* before = first ? nullptr : rowOf(previous_, y) + rect.x();
            for (int x = 0; x < rect.width(); ++x)
                line[static_cast<std::size_t>(x)] =
                    before && before[x] == now[x] ? kTransparent : indexOf(now[x]);
            check(EGifPutLine(gif_, line.data(), rect.width()), "pixels");
        }
        previous_ = frame;
    }

    QByteArray assemble() override
    {
        if (!gif_)
            throw AnimationFault("GIF: no frame");
        int error = 0;
        const int status = EGifCloseFile(gif_, &error);
        gif_ = nullptr;
        if (status == GIF_ERROR)
            throw AnimationFault(std::string("GIF: ") + GifErrorString(error));
        for (std::size_t i = 0; i < colours_.size(); ++i) {
            char* entry = bytes_.data() + kTableOffset + 3 * i;
            entry[0] = static_cast<char>(qRed(colours_[i]));
            entry[1] = static_cast<char>(qGreen(colours_[i]));
            entry[2] = static_cast<char>(qBlue(colours_[i]));
        }
        return std::move(bytes_);
    }

    GifFileType* gif_ = nullptr;
    QByteArray bytes_;
    QImage previous_;
    std::vector<QRgb> colours_;
    QRgb lastColour_ = 0;
    int lastIndex_ = -1;
};

// Lossless WebP; the animation encoder finds the changed rectangles itself.
class WebpEncoder final : public AnimationEncoder {
public:
    WebpEncoder()
    {
        if (!WebPConfigInit(&config_) || !WebPConfigLosslessPreset(&config_, kEffort) || !WebPPictureInit(&picture_))
            throw AnimationFault("WebP: library version");
        picture_.use_argb = 1;
    }
    ~WebpEncoder() override
    {
        if (encoder_)
            WebPAnimEncoderDelete(encoder_);
        WebPPictureFree(&picture_);
    }

private:
    // 0 (fastest) to 9: the figures' few colours compress well at any.
    static constexpr int kEffort = 1;

    void encode(const QImage& frame, int centiseconds) override
    {
        if (!encoder_) {
            WebPAnimEncoderOptions options;
            if (!WebPAnimEncoderOptionsInit(&options))
                throw AnimationFault("WebP: library version");
            options.anim_params.loop_count = 0;
            options.anim_params.bgcolor = frame.pixel(0, 0);
            encoder_ = WebPAnimEncoderNew(frame.width(), frame.height(), &options);
            picture_.width = frame.width();
            picture_.height = frame.height();
            if (!encoder_ || !WebPPictureAlloc(&picture_))
                throw AnimationFault("WebP: no memory");
        }
        // QRgb is WebP's ARGB, word for word.
        for (int y = 0; y < frame.height(); ++y)
            std::memcpy(picture_.argb + static_cast<std::ptrdiff_t>(y) * picture_.argb_stride, rowOf(frame, y),
                        static_cast<std::size_t>(frame.width()) * sizeof(QRgb));
        if (!WebPAnimEncoderAdd(encoder_, &picture_, milliseconds_, &config_))
            throw AnimationFault(std::string("WebP: ") + WebPAnimEncoderGetError(encoder_));
        milliseconds_ += 10 * centiseconds;
    }

    QByteArray assemble() override
    {
        if (!encoder_)
            throw AnimationFault("WebP: no frame");
        WebPData data;
        WebPDataInit(&data);
        if (!WebPAnimEncoderAdd(encoder_, nullptr, milliseconds_, nullptr)
            || !WebPAnimEncoderAssemble(encoder_, &data))
            throw AnimationFault(std::string("WebP: ") + WebPAnimEncoderGetError(encoder_));
        QByteArray bytes(reinterpret_cast<const char*>(data.bytes), static_cast<qsizetype>(data.size));
        WebPDataClear(&data);
        return bytes;
    }

    WebPConfig config_;
    WebPPicture picture_;
    WebPAnimEncoder* encoder_ = nullptr;
    int milliseconds_ = 0;
};

}  // namespace

std::unique_ptr<AnimationEncoder> AnimationEncoder::make(PictureFormat format)
{
    if (format == PictureFormat::Gif)
        return std::make_unique<GifEncoder>();
    if (format == PictureFormat::Webp)
        return std::make_unique<WebpEncoder>();
    throw AnimationFault("not an animation format");
}

AnimationEncoder::~AnimationEncoder() = default;

void AnimationEncoder::add(const QImage& frame, int centiseconds)
{
    if (!pending_.isNull() && samePixels(pending_, frame)) {
        pendingCentiseconds_ += centiseconds;
        return;
    }
    if (!pending_.isNull()) {
        encode(pending_, pendingCentiseconds_);
        ++stored_;
    }
    // A copy: the drawing goes on in the frame's pixels.
    pending_ = frame.convertToFormat(QImage::Format_RGB32).copy();
    pendingCentiseconds_ = centiseconds;
}

QByteArray AnimationEncoder::finish()
{
    if (!pending_.isNull()) {
        encode(pending_, pendingCentiseconds_);
        ++stored_;
        pending_ = QImage();
    }
    return assemble();
}

}  // namespace velmoran::files
