// The zoom's pictures: a view of a figure at a scale is the export's
// picture at that scale, cut to the view, pixel for pixel, its parts out of
// view skipped; and the segments it draws in part light what whole ones do.

#include <QtTest>

#include <random>

#include "picture/cropped_surface.hpp"
#include "picture/device_pixels.hpp"
#include "tests/support/qt_test_main.hpp"
#include "window/offscreen_press.hpp"

using namespace velmoran;

class ZoomTest : public QObject {
    Q_OBJECT
private slots:
    // Views at a corner of the figure and half beyond the picture's edge,
    // at counts drawn line by line, in bulk, and for ever.
    void viewIsTheExportCut_data()
    {
        QTest::addColumn<int>("figure");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QRect>("view");
        for (const FigureInfo& figure : kFigures)
            for (const char* text : {"4", "9", "1000"})
                for (const double scale : {2.0, 4.0, 8.0})
                    for (const QRect& view : {QRect(QPoint(10, 10) * scale, QSize(300, 200)),
                                              QRect(QPoint(-150, 200) * scale, QSize(400, 300))})
                        QTest::addRow("%s %s at %g in %d,%d", figure.traceWord, text, scale, view.x(), view.y())
                            << static_cast<int>(figure.id) << QString(text) << scale << view;
    }
    void viewIsTheExportCut()
    {
        QFETCH(int, figure);
        QFETCH(QString, text);
        QFETCH(double, scale);
        QFETCH(QRect, view);
        const auto whole = window::pressedPicture(static_cast<Figure>(figure), text.toStdString(), scale);
        const auto zoomed = window::zoomedPicture(window::drawingAreaLook(), static_cast<Figure>(figure),
                                                  text.toStdString(), scale, view);
        const QImage& picture = std::get<QImage>(whole);
        const QImage& cut = std::get<QImage>(zoomed);
        QCOMPARE(cut.size(), view.size());
        const QRgb blank = window::drawingAreaLook().background;
        for (int y = 0; y < view.height(); ++y)
            for (int x = 0; x < view.width(); ++x) {
                const QPoint at = view.topLeft() + QPoint(x, y);
                const QRgb expected = picture.rect().contains(at) ? picture.pixel(at) : blank;
                if (cut.pixel(x, y) != expected)
                    QFAIL(qPrintable(QString("pixel %1,%2").arg(at.x()).arg(at.y())));
            }
    }

    // Segments of every slope, long and short, against boxes they cross,
    // touch or miss.
    void segmentsInPartLightTheWholeOnes()
    {
        std::mt19937 random(31);
        for (int i = 0; i < 20000; ++i) {
            const int reach = i % 3 == 0 ? 6 : i % 3 == 1 ? 60 : 3000;
            std::uniform_int_distribution<int> at(-reach, reach);
            const int x1 = at(random), y1 = at(random), x2 = at(random), y2 = at(random);
            const int left = at(random), top = at(random);
            const int right = left + std::abs(at(random)) / 2, bottom = top + std::abs(at(random)) / 2;
            QList<QPoint> whole, part;
            picture::device_pixels::bresenham(x1, y1, x2, y2, [&](int x, int y) {
                if (x >= left && x <= right && y >= top && y <= bottom)
                    whole.append({x, y});
            });
            picture::device_pixels::bresenhamWithin(x1, y1, x2, y2, left, top, right, bottom,
                                               [&](int x, int y) { part.append({x, y}); });
            if (whole != part)
                QFAIL(qPrintable(QString("%1,%2 to %3,%4 in %5,%6 to %7,%8")
                                     .arg(x1).arg(y1).arg(x2).arg(y2).arg(left).arg(top).arg(right).arg(bottom)));
        }
    }
};

VELMORAN_TEST_MAIN(ZoomTest)
#include "zoom_test.moc"
