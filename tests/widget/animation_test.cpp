// The animations, read back with giflib's and libwebp's own decoders: every
// growth frame is the picture after some number of parts, that number
// rising, the last the finished picture held 3 s; level by level, each
// frame the picture at the next count that changes it.

#include <QtTest>

#include <functional>
#include <string>
#include <vector>

#include <gif_lib.h>
#include <webp/demux.h>

#include "files/whole_file.hpp"
#include "fractals/press_figure.hpp"
#include "tests/support/qt_test_main.hpp"
#include "tests/support/surface_and_state.hpp"
#include "window/animation_frames.hpp"
#include "window/offscreen_press.hpp"
#include "window_driver.hpp"

using namespace velmoran;
using namespace velmoran::picture;
using namespace velmoran::files;
using namespace velmoran::window;

struct Animation {
    PictureFormat format;
    Figure figure;
    std::string text;
    AnimationKind kind;
    double scale;
};
Q_DECLARE_METATYPE(Animation)

namespace {

struct Frame {
    QImage picture;
    int centiseconds;
};

std::vector<Frame> decodedGif(const QString& path)
{
    int error = 0;
    GifFileType* gif = DGifOpenFileName(QFile::encodeName(path).constData(), &error);
    std::vector<Frame> frames;
    if (!gif || DGifSlurp(gif) != GIF_OK)
        return frames;
    QImage canvas(gif->SWidth, gif->SHeight, QImage::Format_RGB32);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        GraphicsControlBlock control{};
        DGifSavedExtensionToGCB(gif, i, &control);
        const ColorMapObject* colours = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        const GifImageDesc& d = image.ImageDesc;
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x) {
                const int index = image.RasterBits[y * d.Width + x];
                if (index != control.TransparentColor) {
                    const GifColorType c = colours->Colors[index];
                    canvas.setPixel(d.Left + x, d.Top + y, qRgb(c.Red, c.Green, c.Blue));
                }
            }
        if (control.DisposalMode == DISPOSE_BACKGROUND)  // each frame builds on the last
            return {};
        frames.push_back({canvas.copy(), control.DelayTime});
    }
    DGifCloseFile(gif, &error);
    return frames;
}

std::vector<Frame> decodedWebp(const QString& path)
{
    const QByteArray bytes = test::contents(path);
    const WebPData data{reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_BGRA;  // QRgb in memory
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    std::vector<Frame> frames;
    WebPAnimInfo info;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder, &info))
        return frames;
    int before = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder)) {
        uint8_t* pixels = nullptr;
        int timestamp = 0;
        WebPAnimDecoderGetNext(decoder, &pixels, &timestamp);
        // The timestamp is when the frame ends.
        const QImage canvas(pixels, int(info.canvas_width), int(info.canvas_height), QImage::Format_ARGB32);
        frames.push_back({canvas.convertToFormat(QImage::Format_RGB32), (timestamp - before) / 10});
        before = timestamp;
    }
    WebPAnimDecoderDelete(decoder);
    return frames;
}

QByteArray pixelsOf(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    return QByteArray(reinterpret_cast<const char*>(rgb.constBits()), rgb.sizeInBytes());
}

// How many of `frames` are, in their order, pictures the press shows after
// a rising number of parts (the same number for two frames in a row
// cannot be, as equal frames are merged); the finished picture is the last.
std::size_t framesAfterRisingParts(const Animation& a, const std::vector<Frame>& frames)
{
    const AreaLook area = drawingAreaLook();
    test::SurfaceAndState<RasterSurface> d(area.inner, a.scale, area.background);
    std::size_t matched = 0;
    const auto look = [&] {
        if (matched < frames.size() && pixelsOf(d.surface.image()) == pixelsOf(frames[matched].picture))
            ++matched;
    };
    // The export's event service, looking at the picture before each part.
    test::AtEveryLeaf events(d.state, look);
    d.press(events, a.figure, a.text);
    if (matched + 1 == frames.size())
        look();
    return matched;
}

}  // namespace

class AnimationTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void framesAreThePictures_data()
    {
        QTest::addColumn<Animation>("animation");
        const auto row = [](PictureFormat format, Figure figure, const char* text, AnimationKind kind, double scale) {
            QTest::addRow("%s %s %s%s at %g", format == PictureFormat::Gif ? "gif" : "webp", traceWord(figure),
                          text, kind == AnimationKind::Levels ? " levels" : "", scale)
                << Animation{format, figure, text, kind, scale};
        };
        for (const PictureFormat format : {PictureFormat::Gif, PictureFormat::Webp}) {
            for (const FigureInfo& figure : kFigures)
                row(format, figure.id, "3", AnimationKind::Growth, 1);
            // More parts than frames; parts drawn as what they leave; a count that never ends.
            row(format, Figure::SierpinskiTriangle, "6", AnimationKind::Growth, 1);
            row(format, Figure::SierpinskiTriangle, "12", AnimationKind::Growth, 1);
            row(format, Figure::SierpinskiCarpet, "1000", AnimationKind::Growth, 1);
            row(format, Figure::KochCurve, "2", AnimationKind::Growth, 1.25);
            row(format, Figure::SierpinskiTriangle, "4", AnimationKind::Levels, 2);
            row(format, Figure::KochCurve, "1000", AnimationKind::Levels, 1);
        }
    }
    void framesAreThePictures()
    {
        QFETCH(Animation, animation);
        const QString path = dir.filePath(QString::fromStdString(animation.text) + "."
                                          + (animation.format == PictureFormat::Gif ? "gif" : "webp"));
        const AnimationRequest request{animation.figure, animation.text, animation.scale, animation.kind, 10};
        QCOMPARE(saveAnimation(request, animation.format, path, nullptr).status, WriteOutcome::Status::Written);
        const std::vector<Frame> frames =
            animation.format == PictureFormat::Gif ? decodedGif(path) : decodedWebp(path);
        QVERIFY(frames.size() > 1);
        int total = 0;
        for (const Frame& f : frames)
            total += f.centiseconds;
        QVERIFY(frames.back().centiseconds >= 300);

        if (animation.kind == AnimationKind::Growth) {
            QCOMPARE(total, 1000);
            QCOMPARE(framesAfterRisingParts(animation, frames), frames.size());
            QCOMPARE(pixelsOf(frames.back().picture),
                     pixelsOf(std::get<QImage>(pressedPicture(animation.figure, animation.text, animation.scale))));
        } else {
            // Each level held 1 s, merged where a level changes nothing.
            int level = 0;
            for (const Frame& f : frames) {
                const QByteArray pixels = pixelsOf(f.picture);
                while (level < 60
                       && pixelsOf(std::get<QImage>(pressedPicture(animation.figure, std::to_string(level),
                                                                   animation.scale)))
                              != pixels)
                    ++level;
                QVERIFY2(level < 60, "a frame that is no level, in order");
                QCOMPARE(f.centiseconds % 100, 0);
            }
            // Up to the count, or to the first level that never ends, where
            // the window's sequence would stay.
            if (animation.text != "1000")
                QCOMPARE(level, std::stoi(animation.text));
        }
    }

    // Stopped half-way, as "Annulla" stops it: nothing written, an earlier
    // file left as it was.
    void stoppedWritesNothing()
    {
        const QString path = dir.filePath("stopped.gif");
        QCOMPARE(writeWholeFile(path, "earlier"), 0);
        for (const AnimationKind kind : {AnimationKind::Growth, AnimationKind::Levels}) {
            const AnimationRequest request{Figure::KochSnowflake, "4", 1, kind, 10};
            const auto half = [](int done, int total) { return done < total / 2; };
            QCOMPARE(saveAnimation(request, PictureFormat::Gif, path, half).status, WriteOutcome::Status::Stopped);
            QCOMPARE(test::contents(path), QByteArray("earlier"));
        }
    }
};

VELMORAN_TEST_MAIN(AnimationTest)
#include "animation_test.moc"
