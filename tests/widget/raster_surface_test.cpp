// The drawing area's picture, pixel by pixel: scale, mapping, segments,
// boxes, colours and hostile coordinates.

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <vector>

#include "picture/raster_surface.hpp"

using namespace velmoran;
using namespace velmoran::picture;

// A Line's four coordinates, kept as the floats they are.
struct Ends {
    float x1, y1, x2, y2;
};
Q_DECLARE_METATYPE(Ends)

namespace {

const QRgb kBlank = qRgb(239, 239, 239);
const QSize kInner(493, 349);
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

std::vector<QPoint> litPixels(const QImage& image)
{
    std::vector<QPoint> lit;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (row[x] != kBlank)
                lit.emplace_back(x, y);
    }
    return lit;
}

std::vector<QPoint> drawn(LineKind kind, const Ends& e, qreal ratio = 1)
{
    RasterSurface s(kInner, ratio, kBlank);
    s.drawLine(kind, e.x1, e.y1, e.x2, e.y2, rgbColour(1, 2, 3));
    return litPixels(s.image());
}

// A unit point's device pixel at 1:1 (493 by 349 pixels for 640 by 490 units).
QPoint device(double x, double y)
{
    return {static_cast<int>(std::floor(x * 493 / 640)), static_cast<int>(std::floor(y * 349 / 490))};
}

}  // namespace

class RasterSurfaceTest : public QObject {
    Q_OBJECT
private slots:
    // The scale and size at each density; whole units, what the figures
    // pass, land on floor(u * pixels / units), worked out here in integers,
    // the last unit past the edge.
    void atAnyDensity_data()
    {
        QTest::addColumn<double>("ratio");
        QTest::addColumn<QSize>("deviceSize");
        QTest::newRow("1") << 1.0 << QSize(493, 349);
        QTest::newRow("1.25") << 1.25 << QSize(616, 436);
        QTest::newRow("2") << 2.0 << QSize(986, 698);
    }
    void atAnyDensity()
    {
        QFETCH(double, ratio);
        QFETCH(QSize, deviceSize);
        RasterSurface s(kInner, ratio, kBlank);
        QCOMPARE(s.widthInUnits(), 640.0f);
        QCOMPARE(s.heightInUnits(), 490.0f);
        QCOMPARE(s.image().size(), deviceSize);
        QCOMPARE(s.image().devicePixelRatio(), ratio);
        s.drawLine(LineKind::SegmentInDrawingColour, 0, 0, 0, 0, rgbColour(9, 9, 9));
        QCOMPARE(s.image().pixel(0, 0), qRgb(244, 125, 47));  // until a figure sets its own colour
        // One device pixel wide, across the whole width.
        const std::vector<QPoint> lit = drawn(LineKind::SegmentInOwnColour, {0, 245.5f, 639.9f, 245.5f}, ratio);
        QCOMPARE(static_cast<int>(lit.size()), deviceSize.width());
        QCOMPARE(lit.front().y(), lit.back().y());

        RasterSurface units(kInner, ratio, kBlank);
        std::set<std::pair<int, int>> expected;  // (y, x), the order litPixels finds them in
        for (int u = 0; u <= 640; ++u) {
            const int v = u * 490 / 640;  // down the diagonal, to 490 with u
            units.drawLine(LineKind::BoxInOwnColour, float(u), float(v), float(u), float(v), rgbColour(1, 2, 3));
            const int x = u * deviceSize.width() / 640, y = v * deviceSize.height() / 490;
            if (x < deviceSize.width() && y < deviceSize.height())
                expected.emplace(y, x);
        }
        std::set<std::pair<int, int>> inked;
        for (const QPoint& p : litPixels(units.image()))
            inked.emplace(p.y(), p.x());
        QCOMPARE(inked, expected);
    }

    void segments_data()
    {
        QTest::addColumn<Ends>("ends");
        QTest::addColumn<QPoint>("first");
        QTest::addColumn<QPoint>("last");
        QTest::newRow("zero length: one pixel") << Ends{100, 100, 100, 100} << QPoint(77, 71) << QPoint(77, 71);
        QTest::newRow("next pixel, diagonally") << Ends{100, 100, 102, 102} << QPoint(77, 71) << QPoint(78, 72);
        QTest::newRow("same pixel, other units") << Ends{100, 100, 101, 101} << QPoint(77, 71) << QPoint(77, 71);
        QTest::newRow("two pixels on: the middle one too") << Ends{100, 100, 103, 100} << QPoint(77, 71)
                                                          << QPoint(79, 71);
        QTest::newRow("right end just outside") << Ends{0, 0, 640, 0} << QPoint(0, 0) << QPoint(492, 0);
        QTest::newRow("vertical") << Ends{0, 0, 0, 489} << QPoint(0, 0) << QPoint(0, 348);
        QTest::newRow("shallow") << Ends{10, 480, 630, 300} << device(10, 480) << device(630, 300);
        QTest::newRow("steep, upward") << Ends{630, 480, 320, 10} << device(630, 480) << device(320, 10);
        QTest::newRow("fractional ends") << Ends{12.7f, 33.3f, 88.8f, 401.5f} << device(12.7, 33.3)
                                         << device(88.8, 401.5);
    }
    // Both ends lit, one pixel per step along the major axis, each within
    // half a pixel of the straight line between the end pixels.
    void segments()
    {
        QFETCH(Ends, ends);
        QFETCH(QPoint, first);
        QFETCH(QPoint, last);
        const std::vector<QPoint> lit = drawn(LineKind::SegmentInOwnColour, ends);
        QVERIFY(std::count(lit.begin(), lit.end(), first) == 1 && std::count(lit.begin(), lit.end(), last) == 1);
        const bool steep = std::abs(last.y() - first.y()) > std::abs(last.x() - first.x());
        auto major = [&](QPoint p) { return steep ? p.y() : p.x(); };
        auto minor = [&](QPoint p) { return steep ? p.x() : p.y(); };
        QCOMPARE(static_cast<int>(lit.size()), std::abs(major(last) - major(first)) + 1);
        std::set<int> steps;
        for (const QPoint& p : lit) {
            steps.insert(major(p));
            const double t = major(last) == major(first) ? 0 : double(major(p) - major(first)) / (major(last) - major(first));
            QVERIFY(std::abs(minor(p) - (minor(first) + t * (minor(last) - minor(first)))) <= 0.5 + 1e-9);
        }
        QCOMPARE(steps.size(), lit.size());
    }

    void boxes_data()
    {
        QTest::addColumn<Ends>("corners");
        QTest::addColumn<QRect>("outline");  // device pixels, possibly past the image
        QTest::newRow("outline") << Ends{100, 100, 200, 150} << QRect(QPoint(77, 71), QPoint(154, 106));
        QTest::newRow("corners swapped") << Ends{200, 150, 100, 100} << QRect(QPoint(77, 71), QPoint(154, 106));
        QTest::newRow("degenerate: one pixel") << Ends{100, 100, 100, 100} << QRect(77, 71, 1, 1);
        QTest::newRow("flat: a row") << Ends{100, 100, 200, 100} << QRect(QPoint(77, 71), QPoint(154, 71));
        QTest::newRow("partly outside") << Ends{600, 400, 700, 500} << QRect(QPoint(462, 284), QPoint(539, 356));
        QTest::newRow("wholly outside") << Ends{650, 10, 700, 20} << QRect();
    }
    // The outline only, never filled, cut at the image's edge.
    void boxes()
    {
        QFETCH(Ends, corners);
        QFETCH(QRect, outline);
        std::vector<QPoint> expected;
        for (int y = 0; y < kInner.height(); ++y)
            for (int x = 0; x < kInner.width(); ++x)
                if (outline.contains(x, y)
                    && (x == outline.left() || x == outline.right() || y == outline.top() || y == outline.bottom()))
                    expected.emplace_back(x, y);
        QCOMPARE(drawn(LineKind::BoxInOwnColour, corners), expected);
    }

    void hostileCoordinates_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<Ends>("ends");
        QTest::addColumn<QRect>("lit");  // exactly these pixels, none where empty
        const QRect row7(0, 7, kInner.width(), 1);
        const int segment = int(LineKind::SegmentInOwnColour), box = int(LineKind::BoxInOwnColour);
        QTest::newRow("NaN start") << segment << Ends{kNaN, 10, 100, 10} << QRect();
        QTest::newRow("NaN end") << segment << Ends{10, 10, 100, kNaN} << QRect();
        QTest::newRow("NaN box") << box << Ends{10, 10, kNaN, 100} << QRect();
        QTest::newRow("towards infinity") << segment << Ends{0, 10, kInf, 10} << row7;
        QTest::newRow("infinity to infinity") << segment << Ends{-kInf, 10, kInf, 10} << row7;
        QTest::newRow("infinite box: its top") << box << Ends{-kInf, 10, kInf, kInf} << row7;
        QTest::newRow("box around everything") << box << Ends{-kInf, -kInf, kInf, kInf} << QRect();
        // Through the whole height at x 230 (device 177.2 to 177.5), from
        // ends a hundred times the area's height away.
        QTest::newRow("far diagonal, steep") << segment << Ends{200, -3e4f, 260, 3e4f} << QRect(177, 0, 1, 349);
        QTest::newRow("huge, vertical") << segment << Ends{200, -3e38f, 200, 3e38f} << QRect(154, 0, 1, 349);
        QTest::newRow("huge, nowhere near") << segment << Ends{-1e30f, 5, -1e30f, 5} << QRect();
    }
    void hostileCoordinates()
    {
        QFETCH(int, kind);
        QFETCH(Ends, ends);
        QFETCH(QRect, lit);
        std::vector<QPoint> expected;
        for (int y = lit.top(); y <= lit.bottom(); ++y)
            for (int x = lit.left(); x <= lit.right(); ++x)
                expected.emplace_back(x, y);
        QCOMPARE(drawn(static_cast<LineKind>(kind), ends), expected);
    }
};

QTEST_GUILESS_MAIN(RasterSurfaceTest)
#include "raster_surface_test.moc"
