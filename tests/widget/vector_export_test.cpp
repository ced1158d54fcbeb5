// The SVG and PDF files of a press: the trace's lines where the PNG puts
// them, inking what the PNG inks under real renderers, small at any count;
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
#include "tests/support/doubles.hpp"
#include "tests/support/qt_test_main.hpp"
#include "tools/trace_run.hpp"
#include "window/offscreen_press.hpp"

using namespace velmoran;

struct Press {
    const char* format;
    Figure figure;
    QString text;
    double scale;
    QImage png() const
    {
        const auto picture = ui::pressedPicture(figure, text.toStdString(), scale);
        return std::get<QImage>(picture).convertToFormat(QImage::Format_RGB32);
    }
    // Saved in `format` in `dir`: the file's path, or none if that failed.
    QString saved(const QTemporaryDir& dir) const
    {
        const auto vectors = std::get<ui::VectorPicture>(ui::pressedVectors(figure, text.toStdString(), scale));
        const QString path = dir.filePath(traceWord(figure) + text + '.' + format);
        return (qstrcmp(format, "svg") == 0 ? ui::saveSvg : ui::saveVectorPdf)(vectors, scale, path) ? "" : path;
    }
};
Q_DECLARE_METATYPE(Press)

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

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString hex(QRgb rgb) { return QColor(rgb).name(); }
QString at(double x, double y) { return QString::number(x) + ',' + QString::number(y); }

// The trace's lines since its last clear as the SVG should draw them on a
// picture `columns` by `rows` device pixels: each end in the pixel its
// units fall in, stroked through the pixel's centre, or one pixel filled.
struct ExpectedSvg final : test::NullSink {
    ExpectedSvg(double columns, double rows) : columns(columns), rows(rows) {}
    double columns, rows;
    QRgb fore = ui::toQRgb(ui::kInitialForeColour);
    QStringList elements;
    void clear() override { elements.clear(); }
    void foreColour(Colour colour) override { fore = ui::toQRgb(colour); }
    void line(LineFlags flags, Coord x1, Coord y1, Coord x2, Coord y2, Colour colour) override
    {
        const QString rgb = hex(flags == kLineInForeColour ? fore : ui::toQRgb(colour));
        const double a = std::floor(x1 * columns / 640), b = std::floor(y1 * rows / 490);
        const double c = std::floor(x2 * columns / 640), d = std::floor(y2 * rows / 490);
        if (a == c && b == d)
            elements << "fill " + rgb + ' ' + at(a, b) + " 1,1";
        else if (flags == kBoxWithColour && a != c && b != d)
            elements << "box " + rgb + ' ' + at(std::min(a, c) + 0.5, std::min(b, d) + 0.5) + ' '
                            + at(std::abs(c - a), std::abs(d - b));
        else
            elements << "line " + rgb + ' ' + at(a + 0.5, b + 0.5) + ' ' + at(c + 0.5, d + 0.5);
    }
};

// The SVG's background, then each of its strokes as ExpectedSvg writes
// them: its paths walked command by command, a closed run of four sides a
// box, a filled span its pixels one by one.
QStringList svgElements(const QByteArray& svg)
{
    QStringList out;
    for (QXmlStreamReader xml(svg); !xml.atEnd();) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto value = [&](const char* name) { return xml.attributes().value(QLatin1String(name)).toString(); };
        if (xml.name() == u"rect")
            out << "fill " + value("fill") + " 0,0 " + value("width") + ',' + value("height");
        if (xml.name() != u"path")
            continue;
        const bool fill = !value("fill").isEmpty();
        const QString colour = fill ? value("fill") : value("stroke");
        QStringList tokens;
        for (const auto& m : QRegularExpression(R"([MmLlHhVvZz]|-?[0-9]*\.?[0-9]+)").globalMatch(value("d")))
            tokens << m.captured();
        QList<QPointF> points;  // of the subpath
        const auto flush = [&](bool closed) {
            if (closed && fill)
                for (int n = 0; n < points.value(1).x() - points[0].x(); ++n)
                    out << "fill " + colour + ' ' + at(points[0].x() + n, points[0].y()) + " 1,1";
            else if (closed)
                out << "box " + colour + ' ' + at(points[0].x(), points[0].y()) + ' '
                           + at(points[2].x() - points[0].x(), points[2].y() - points[0].y());
            else
                for (int n = 1; n < points.size(); ++n)
                    out << "line " + colour + ' ' + at(points[n - 1].x(), points[n - 1].y()) + ' '
                               + at(points[n].x(), points[n].y());
            points = {points.value(0)};
        };
        QPointF p;
        QChar command;
        for (int i = 0; i < tokens.size();) {
            if (tokens[i][0].isLetter())
                command = tokens[i++][0];
            const auto next = [&] { return tokens[i++].toDouble(); };
            if (command == 'z') {
                flush(true);
                p = points[0];
            } else if (command == 'M' || command == 'm') {
                if (!points.isEmpty())
                    flush(false);
                const double dx = next(), dy = next();
                p = command == 'm' ? p + QPointF(dx, dy) : QPointF(dx, dy);
                points = {p};
                command = command == 'm' ? 'l' : 'L';
            } else {
                if (command == 'h')
                    p.rx() += next();
                else if (command == 'v')
                    p.ry() += next();
                else {
                    const double dx = next(), dy = next();
                    p += QPointF(dx, dy);
                }
                points << p;
            }
        }
        if (points.size() > 1)
            flush(false);
    }
    return out;
}

// The elements of each colour in turn, each colour's in their order: a
// file may draw strokes of one colour together where no other colour
// reaches their pixels in between.
QStringList byColour(const QStringList& elements)
{
    QStringList colours, out;
    for (const QString& e : elements)
        if (!colours.contains(e.section(' ', 1, 1)))
            colours << e.section(' ', 1, 1);
    for (const QString& colour : colours)
        for (const QString& e : elements)
            if (e.section(' ', 1, 1) == colour)
                out << e;
    return out;
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
    // Every line of the trace, in order and colour, where the PNG puts it,
    // over the PNG's background.
    void svgDrawsTheTrace_data() { pressRows({"svg"}, {"2", "3", "4"}); }
    void svgDrawsTheTrace()
    {
        QFETCH(Press, press);
        const QImage png = press.png();
        ExpectedSvg expected(png.width(), png.height());
        runTrace(std::get<TraceRequest>(parseTraceArguments({traceWord(press.figure), press.text.toStdString()})),
                 expected);
        const QString background = "fill " + hex(png.pixel(0, 0)) + " 0,0 " + at(png.width(), png.height());
        QCOMPARE(byColour(svgElements(contents(press.saved(dir)))), byColour(QStringList{background} + expected.elements));
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
        for (Figure figure : {Figure::SierpinskiCarpet, Figure::KochCurve, Figure::KochSnowflake})
            QTest::newRow(traceWord(figure)) << Press{"svg", figure, "12", 1};
    }
    void noMoreStrokesThanPixels()
    {
        QFETCH(Press, press);
        const QImage png = press.png();
        int inked = 0;
        for (int n = 0; n < png.width() * png.height(); ++n)
            inked += png.pixel(n % png.width(), n / png.width()) != png.pixel(0, 0);
        QCOMPARE_LE(svgElements(contents(press.saved(dir))).size() - 1, inked);  // the background aside
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
            for (const auto& [file, start] : {std::pair(".SVG", "<?xml"), {".Pdf", "%PDF-"}, {".pNg", "\x89PNG"}})
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
        QCOMPARE(ui::writeWholeFile(path, "first"), 0);
        QCOMPARE(::chmod(native.constData(), 0604) | ::stat(native.constData(), &first), 0);
        QCOMPARE(ui::writeWholeFile(path, "second"), 0);
        QCOMPARE(contents(path), QByteArray("second"));
        QCOMPARE(::stat(native.constData(), &second), 0);
        QVERIFY(second.st_ino != first.st_ino);  // a new file, not the old one overwritten
        QCOMPARE(second.st_mode & 07777, 0604u);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
    }
};

VELMORAN_TEST_MAIN(VectorExportTest)
#include "vector_export_test.moc"
