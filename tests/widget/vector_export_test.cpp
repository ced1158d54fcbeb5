// The SVG and PDF files of a press: the PNG's pixels when drawn the
// raster's way, inking what the PNG inks under real renderers, small at any count;
// the format chosen by the name; a file replaced even at the longest name.

#include <QtTest>

#include <cmath>

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <sys/stat.h>

#include "files/vector_files.hpp"
#include "files/whole_file.hpp"
#include "tests/support/qt_test_main.hpp"
#include "window/offscreen_press.hpp"
#include "window_driver.hpp"

using namespace velmoran;
using velmoran::test::contents;

struct Press {
    const char* format;
    Figure figure;
    QString text;
    double scale;
    QImage png() const
    {
        const auto picture = window::pressedPicture(figure, text.toStdString(), scale);
        return std::get<QImage>(picture).convertToFormat(QImage::Format_RGB32);
    }
    // Saved in `format` in `dir`: the file's path, or none if that failed.
    QString saved(const QTemporaryDir& dir) const
    {
        const auto vectors = std::get<picture::VectorPicture>(
            window::pressedVectors(figure, text.toStdString(), scale));
        const QString path = dir.filePath(traceWord(figure) + text + '.' + format);
        return (qstrcmp(format, "svg") == 0 ? files::saveSvg : files::saveVectorPdf)(vectors, scale, path) ? "" : path;
    }
};
Q_DECLARE_METATYPE(Press)
Q_DECLARE_METATYPE(Figure)

namespace {

// Every figure at each count, in each format, at scales 1 and 2.
void pressRows(std::initializer_list<const char*> formats, std::initializer_list<const char*> counts)
{
    QTest::addColumn<Press>("press");
    for (const char* format : formats)
        for (const FigureInfo& figure : kFigures)
            for (const char* text : counts)
                for (double scale : {1.0, 2.0})
                    QTest::addRow("%s %s %s at %g", format, figure.traceWord, text, scale)
                        << Press{format, figure.id, text, scale};
}

// The SVG drawn the way the raster draws: a segment between pixel centres
// as the pixels Bresenham lights from its first end to its last, one cut
// square at the pixels' edges (butt caps) as the pixels of the row it
// spans; over the background, in the file's order. `segments` counts them.
QImage drawnAsTheRaster(const QByteArray& svg, int& segments)
{
    QImage image;
    segments = 0;
    for (QXmlStreamReader xml(svg); !xml.atEnd();) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto value = [&](const char* name) { return xml.attributes().value(QLatin1String(name)).toString(); };
        if (xml.name() == u"rect") {
            image = QImage(value("width").toInt(), value("height").toInt(), QImage::Format_RGB32);
            image.fill(QColor(value("fill")));
        }
        if (xml.name() != u"path")
            continue;
        const QRgb colour = QColor(value("stroke")).rgb();
        const bool butt = value("stroke-linecap") == "butt";
        const auto plot = [&](int x, int y) {
            if (image.valid(x, y))
                image.setPixel(x, y, colour);
        };
        const auto segment = [&](QPointF from, QPointF to) {
            ++segments;
            if (butt) {
                for (int x = qRound(from.x()); x < qRound(to.x()); ++x)
                    plot(x, int(std::floor(from.y())));
                return;
            }
            int x = int(std::floor(from.x())), y = int(std::floor(from.y()));
            const int x2 = int(std::floor(to.x())), y2 = int(std::floor(to.y()));
            const int dx = std::abs(x2 - x), dy = -std::abs(y2 - y), sx = x < x2 ? 1 : -1, sy = y < y2 ? 1 : -1;
            for (int err = dx + dy;;) {
                plot(x, y);
                if (x == x2 && y == y2)
                    break;
                const int e2 = 2 * err;
                if (e2 >= dy)
                    err += dy, x += sx;
                if (e2 <= dx)
                    err += dx, y += sy;
            }
        };
        QStringList tokens;
        for (const auto& m : QRegularExpression(R"([MmLlHhVv]|-?[0-9]*\.?[0-9]+)").globalMatch(value("d")))
            tokens << m.captured();
        QPointF p;
        QChar command;
        for (int i = 0; i < tokens.size();) {
            if (tokens[i][0].isLetter())
                command = tokens[i++][0];
            const auto next = [&] { return tokens[i++].toDouble(); };
            const QPointF from = p;
            if (command == 'M' || command == 'm') {
                const double dx = next(), dy = next();
                p = command == 'm' ? p + QPointF(dx, dy) : QPointF(dx, dy);
                // Numbers after a move go on as lines.
                command = command == 'm' ? 'l' : 'L';
                continue;
            }
            if (command == 'h') {
                p.rx() += next();
            } else if (command == 'v') {
                p.ry() += next();
            } else {
                const double dx = next(), dy = next();
                p += QPointF(dx, dy);
            }
            segment(from, p);
        }
    }
    return image;
}

// Pixels of `a` off `background` with none of their colour within a pixel in `b`.
int unmatched(const QImage& a, const QImage& b, QRgb background)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            bool found = a.pixel(x, y) == background;
            for (int n = 0; n < 9 && !found; ++n)
                found = b.valid(x - 1 + n % 3, y - 1 + n / 3) && b.pixel(x - 1 + n % 3, y - 1 + n / 3) == a.pixel(x, y);
            count += !found;
        }
    return count;
}

}  // namespace

class VectorExportTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    // Drawn the raster's way, the SVG's lines and spans make the PNG pixel
    // for pixel: each pixel in the colour the drawing leaves it, whatever
    // order the file draws its runs of one colour in.
    void svgDrawsThePng_data() { pressRows({"svg"}, {"2", "3", "4", "6", "8", "12", "1000"}); }
    void svgDrawsThePng()
    {
        QFETCH(Press, press);
        int segments = 0;
        QImage png = press.png();
        png.setDevicePixelRatio(1);
        QCOMPARE(drawnAsTheRaster(contents(press.saved(dir)), segments), png);
    }

    // Drawn at the PNG's size by librsvg and poppler, unsmoothed: the same
    // colours within a pixel of where the PNG has them, and no others.
    void renderersInkWhatThePngInks_data() { pressRows({"svg", "pdf"}, {"5"}); }
    void renderersInkWhatThePngInks()
    {
        QFETCH(Press, press);
        const bool svg = qstrcmp(press.format, "svg") == 0;
        if (QStandardPaths::findExecutable(svg ? "rsvg-convert" : "pdftoppm").isEmpty())
            QSKIP("no renderer for the format");
        const QImage png = press.png();
        const QString file = press.saved(dir), drawn = dir.filePath("drawn");
        // The picture's logical size, 96 pixels an inch; Qt's PDF pages are whole points.
        const auto size = QRegularExpression(svg ? R"(width="(\S+)mm" height="(\S+)mm")"
                                                 : R"(/MediaBox \[0 0 (\S+) (\S+)\])").match(contents(file));
        const double points = svg ? 72 / 25.4 : 1;
        QVERIFY(std::abs(size.captured(1).toDouble() * points - 369.75) < 1
                && std::abs(size.captured(2).toDouble() * points - 261.75) < 1);
        const QString w = QString::number(png.width()), h = QString::number(png.height());
        QCOMPARE(svg ? QProcess::execute("rsvg-convert", {"-w", w, "-h", h, "-o", drawn + ".png", file})
                     : QProcess::execute("pdftoppm", {"-scale-to-x", w, "-scale-to-y", h, "-png", "-aa", "no",
                                                      "-aaVector", "no", "-singlefile", file, drawn}),
                 0);
        const QImage vector = QImage(drawn + ".png").convertToFormat(QImage::Format_RGB32);
        QCOMPARE(vector.size(), png.size());
        QCOMPARE(std::pair(unmatched(png, vector, png.pixel(0, 0)), unmatched(vector, png, png.pixel(0, 0))),
                 std::pair(0, 0));
    }

    // Only lines that change a pixel are kept: a figure of one colour has
    // no more strokes than pixels it inks, however deep.
    void noMoreStrokesThanPixels_data()
    {
        QTest::addColumn<Press>("press");
        for (const FigureInfo& figure : kFigures)
            if (figure.colourCount == 1)
                QTest::newRow(figure.traceWord) << Press{"svg", figure.id, "12", 1};
    }
    void noMoreStrokesThanPixels()
    {
        QFETCH(Press, press);
        const QImage png = press.png();
        int segments = 0;
        drawnAsTheRaster(contents(press.saved(dir)), segments);
        QCOMPARE_LE(segments, png.width() * png.height() - test::countColour(png, png.pixel(0, 0)));
    }

    // A few bytes a line: no more than twice the PDF (whose streams are
    // compressed), at the counts where most lines are visible.
    void svgAtMostTwiceThePdf_data()
    {
        QTest::addColumn<Figure>("figure");
        QTest::addColumn<QString>("text");
        for (const FigureInfo& figure : kFigures)
            for (const char* text : {"5", "7", "8"})
                QTest::addRow("%s %s", figure.traceWord, text) << figure.id << QString(text);
    }
    void svgAtMostTwiceThePdf()
    {
        QFETCH(Figure, figure);
        QFETCH(QString, text);
        const qint64 svg = QFileInfo(Press{"svg", figure, text, 1}.saved(dir)).size();
        const qint64 pdf = QFileInfo(Press{"pdf", figure, text, 1}.saved(dir)).size();
        QVERIFY2(svg > 0 && svg <= 2 * pdf, qPrintable(QString("%1 bytes, the PDF %2").arg(svg).arg(pdf)));
    }

    // By the name's extension in any case (another is bad usage, in the
    // end-to-end suite's command lines); a deep figure's parts are kept as
    // the pixels they leave, not line by line, so the file is small at any
    // count.
    void exported_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("start");
        for (const FigureInfo& figure : kFigures)
            for (const auto& [file, start] : {std::pair(".SVG", "<?xml"), {".Pdf", "%PDF-"}, {".pNg", "\x89PNG"},
                                              {".gif", "GIF89a"}, {".WebP", "RIFF"}})
                QTest::addRow("%s%s", figure.traceWord, file) << figure.traceWord + QString(file) << QByteArray(start);
    }
    void exported()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, start);
        const QString path = dir.filePath(file);
        const QStringList args{"--export", path, file.section('.', 0, 0), "1000", "--scale", "2"};
        QCOMPARE(QProcess::execute(VELMORAN_PROGRAM, args), 0);
        QVERIFY(contents(path).startsWith(start) && QFileInfo(path).size() < 3'000'000);
    }

    // The new bytes go beside the old under a short name and move over
    // them: the longest name the system takes is replaced too, and the old
    // file's permissions kept.
    void replacedAtTheLongestName()
    {
        QTemporaryDir folder;
        const QString name = QString(251, 'L') + ".png", path = folder.filePath(name);
        const QByteArray native = QFile::encodeName(path);
        struct stat first {}, second {};
        QCOMPARE(files::writeWholeFile(path, "first"), 0);
        QCOMPARE(::chmod(native.constData(), 0604) | ::stat(native.constData(), &first), 0);
        QCOMPARE(files::writeWholeFile(path, "second"), 0);
        QCOMPARE(contents(path), QByteArray("second"));
        QCOMPARE(::stat(native.constData(), &second), 0);
        QVERIFY(second.st_ino != first.st_ino);  // a new file, not the old one overwritten
        QCOMPARE(second.st_mode & 07777, 0604u);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
    }
};

VELMORAN_TEST_MAIN(VectorExportTest)
#include "vector_export_test.moc"
