// The main window as a person meets it: its controls, what a press draws,
// presses nested inside a drawing, "Esci", errors and "Stampa".

#include <QtTest>

#include <functional>
#include <memory>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "picture/raster_surface.hpp"
#include "tests/support/qt_test_main.hpp"
#include "texts/user_texts.hpp"
#include "window/main_window.hpp"
#include "window/window_layout.hpp"
#include "window_driver.hpp"

using namespace velmoran;
using namespace velmoran::picture;
using namespace velmoran::window;
using namespace velmoran::test;

namespace {

// The control with the focus; an editable combo's line edit is the combo.
QString focusName()
{
    QWidget* w = QApplication::focusWidget();
    while (w && w->objectName().startsWith(QLatin1String("qt_")))
        w = w->parentWidget();
    return w ? w->objectName() : QString();
}

using ColourCounts = QList<QPair<QRgb, int>>;

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DrivenWindow> driven;
    MainWindow* window = nullptr;

    QWidget* control(const char* name) { return window->findChild<QWidget*>(QString::fromLatin1(name)); }
    QImage picture() const { return window->surface().image().copy(); }
    QRgb blank() const { return window->surface().background(); }
    bool isBlank(const QImage& image) const { return countColour(image, blank()) == image.width() * image.height(); }
    void setCount(const char* text) { setSelectorText(*window, text); }
    void click(const char* name) { static_cast<QPushButton*>(control(name))->click(); }

private slots:
    void init()
    {
        driven = std::make_unique<DrivenWindow>();
        window = &driven->window;
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    void cleanup() { driven.reset(); }

    // Where each control stands in the window's client area, in logical
    // pixels; the drawing area's 2-pixel border included.
    void controls_data()
    {
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<double>("points");  // 0: shows no text
        QTest::addColumn<bool>("bold");
        QTest::newRow("Picture1") << QRect(16, 24, 497, 353) << "Area di disegno" << 0.0 << false;
        QTest::newRow("Command1") << QRect(520, 240, 105, 65) << "Triangolo di Sierpinski" << 9.75 << true;
        QTest::newRow("Command2") << QRect(520, 168, 105, 65) << "Tappeto di Sierpinski" << 9.75 << true;
        QTest::newRow("Command3") << QRect(520, 96, 105, 65) << "Trina di Koch" << 9.75 << true;
        QTest::newRow("Command4") << QRect(520, 24, 105, 65) << "Fiocco di neve di Koch" << 9.75 << true;
        QTest::newRow("Combo1") << QRect(472, 384, 41, 26) << "Numero di iterazioni" << 12.0 << true;
        QTest::newRow("Label1") << QRect(232, 384, 241, 25) << "Scegli il numero di iterazioni" << 12.0 << true;
        QTest::newRow("Command5") << QRect(520, 344, 105, 25) << "Esci" << 12.0 << true;
        QTest::newRow("Command6") << QRect(520, 312, 105, 25) << "Stampa" << 12.0 << true;
        QTest::newRow("Label2") << QRect(40, 416, 370, 12) << "Tutte le informazioni sul sito www.velmoran.it"
                                << 7.5 << false;
    }
    void controls()
    {
        QFETCH(QRect, geometry);
        QFETCH(QString, caption);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QWidget* w = control(QTest::currentDataTag());
        QVERIFY(w);
        QCOMPARE(w->geometry(), geometry);
        QCOMPARE(w->accessibleName(), caption);
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            QCOMPARE(button->text(), caption);
            QVERIFY(!button->autoDefault() && !button->isDefault());
        }
        if (auto* label = qobject_cast<QLabel*>(w)) {
            QCOMPARE(label->text(), caption);
            QCOMPARE(label->textFormat(), Qt::PlainText);
        }
        if (points > 0) {
            const QFontInfo info(w->font());
            // The face asked for is the face drawn, not a silent substitute.
            QVERIFY2(info.family().startsWith(w->font().family()), qPrintable(info.family()));
            QCOMPARE(info.pointSizeF(), points);
            QCOMPARE(info.bold(), bold);
        }
    }

    void windowAndColours()
    {
        QCOMPARE(window->windowTitle(), QStringLiteral("Ondrila Vastreni e Ferlino Quarsotti presentano:"));
        QCOMPARE(window->size(), QSize(629, 444));
        QCOMPARE(window->minimumSize(), window->size());
        QCOMPARE(window->maximumSize(), window->size());
        // The icon in every size of the icon set, for the desktop to choose from.
        const QList<QSize> iconSizes = window->windowIcon().availableSizes();
        for (const int size : {16, 32, 48, 64, 128, 256})
            QVERIFY2(iconSizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
        // Qt's own texts are Italian: message boxes say "Sì", not "Yes".
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Sì"));
        // And the menus name the keys as the guide does.
        QCOMPARE(QKeySequence(Qt::SHIFT | Qt::Key_F1).toString(QKeySequence::NativeText), QStringLiteral("Maiusc+F1"));

        const QImage shot = window->grab().toImage();
        const QRgb face = QApplication::palette().color(QPalette::Button).rgb();
        QVERIFY(face != qRgb(224, 224, 224));
        QCOMPARE(shot.pixel(5, 5), qRgb(224, 224, 224));
        for (const FigureInfo& figure : kFigures)
            QCOMPARE(control(layout::placeOf(layout::buttonOf(figure.id)).objectName)->grab().toImage().pixel(6, 6),
                     qRgb(192, 64, 0));
        // Inside the drawing area's border, blank; Label1's bottom row, left
        // of the selector, opaque; Label2 on a grey of its own.
        QCOMPARE(shot.pixel(118, 126), face);
        QCOMPARE(shot.pixel(471, 408), face);
        QCOMPARE(shot.pixel(408, 417), qRgb(192, 192, 192));
        QVERIFY(countColour(control("Label2")->grab().toImage(), qRgb(0, 0, 255)) > 0);
    }

    void focusAndKeys()
    {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(focusName(), QStringLiteral("Picture1"));
        for (const char* next : {"Command1", "Command2", "Command3", "Command4", "Combo1", "Command5", "Command6",
                                 "Picture1"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(focusName(), QString::fromLatin1(next));
        }
        // Keys on the drawing area do nothing; Enter presses a focused button.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(isBlank(picture()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!isBlank(picture()));
    }

    void selectorDoesNothingByItself()
    {
        auto* combo = window->findChild<QComboBox*>();
        QVERIFY(combo->isEditable());
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        QCOMPARE(items.join(' '), QStringLiteral("0 1 2 3 4 5 6 7 8 9 10"));
        QCOMPARE(combo->currentIndex(), -1);
        QCOMPARE(combo->currentText(), QStringLiteral("0"));
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), QStringLiteral("12"));
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        combo->setCurrentIndex(3);
        QCOMPARE(combo->count(), 11);
        QVERIFY(isBlank(picture()));
    }

    // Device pixels at 1:1: x * 493 / 640 and y * 349 / 490, rounded down.
    void figures_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("count");
        QTest::addColumn<ColourCounts>("colours");
        QTest::addColumn<QList<QPoint>>("lit");
        QTest::addColumn<QList<QPoint>>("blank");
        // Base (7,341)-(485,341), right side to the apex (246,7), left side
        // last, so it owns both corners it touches.
        QTest::newRow("triangle, count 0")
            << "Command1" << "0"
            << ColourCounts{{qRgb(180, 80, 0), 477}, {qRgb(200, 200, 0), 334}, {qRgb(250, 50, 50), 335}}
            << QList<QPoint>{{246, 341}, {7, 341}, {485, 341}, {246, 7}} << QList<QPoint>{{246, 200}};
        // A 3 by 3 grid of outlines at x 115, 215, 315, 415 and y 35, 128,
        // 220, 313, empty inside every cell, the centre one included.
        QTest::newRow("carpet, count 1")
            << "Command2" << "1" << ColourCounts{{qRgb(200, 80, 0), 4 * 279 + 4 * 301 - 16}}
            << QList<QPoint>{{115, 35}, {415, 313}, {215, 174}} << QList<QPoint>{{265, 174}, {165, 81}, {114, 35}};
        QTest::newRow("Koch curve, count 0") << "Command3" << "abc" << ColourCounts{{qRgb(200, 80, 0), 479}}
                                             << QList<QPoint>{{7, 174}, {485, 174}} << QList<QPoint>{{246, 100}};
        QTest::newRow("snowflake, count 0") << "Command4" << "0" << ColourCounts{}
                                            << QList<QPoint>{{115, 85}, {377, 85}, {246, 294}}
                                            << QList<QPoint>{{246, 150}};
    }
    void figures()
    {
        QFETCH(QString, button);
        QFETCH(QString, count);
        QFETCH(ColourCounts, colours);
        QFETCH(QList<QPoint>, lit);
        QFETCH(QList<QPoint>, blank);
        setCount(qPrintable(count));
        click(qPrintable(button));
        QCOMPARE(window->lastOutcome(), PressOutcome::done());
        QCOMPARE(window->surface().widthInUnits(), 640.0f);
        QCOMPARE(window->surface().heightInUnits(), 490.0f);
        const QImage image = picture();
        for (const auto& [colour, n] : colours)
            QCOMPARE(countColour(image, colour), n);
        // On screen, the area shows the picture inside its 2-pixel border.
        const QImage shown = control("Picture1")->grab().toImage();
        for (const QPoint& p : lit) {
            QVERIFY(image.pixel(p) != this->blank());
            QCOMPARE(shown.pixel(p + QPoint(2, 2)), image.pixel(p));
        }
        for (const QPoint& p : blank)
            QCOMPARE(image.pixel(p), this->blank());
    }

    void pressNestedInsideADrawing()
    {
        window->pump().setTiming(PumpTiming::everyCall());
        setCount("3");
        // The carpet is pressed once the triangle has drawn its first three
        // small triangles, bottom left; it clears them, and the triangle
        // goes on with the rest over the carpet.
        const AtNextYield carpet([this] { click("Command2"); });
        click("Command1");
        QCOMPARE(window->lastOutcome(), PressOutcome::done());
        QCOMPARE(window->state().nesting, 0);
        const QImage image = picture();
        QCOMPARE(image.pixel(30, 341), blank());           // first small triangle: erased
        QCOMPARE(image.pixel(246, 7), qRgb(250, 50, 50));  // apex: drawn after the carpet
        QCOMPARE(image.pixel(115, 35), qRgb(200, 80, 0));  // the carpet
    }

private:
    // "Esci" ends the program at once: not a line after the end, and no
    // handler runs any more.
    void expectEndedForGood()
    {
        QCOMPARE(driven->endings, 1);
        QVERIFY(window->isHidden());
        QCOMPARE(window->state().nesting, 0);
        QCOMPARE(picture(), driven->pictureAtEnd);
        setCount("0");
        for (const char* name : {"Command1", "Command6", "Command5"})
            click(name);
        QCOMPARE(picture(), driven->pictureAtEnd);
        QCOMPARE(driven->endings, 1);
        QVERIFY(driven->log.errors.isEmpty() && driven->log.questions.isEmpty());
    }
    // A triangle at count 6, running six renderer levels deep, ended by `during`
    // at its first yield.
    void endTriangleWith(std::function<void()> during)
    {
        window->pump().setTiming(PumpTiming::everyCall());
        setCount("6");
        const AtNextYield atFirstYield(std::move(during));
        click("Command1");
        QCOMPARE(window->lastOutcome(), PressOutcome::ended());
    }

private slots:
    void exitWhenIdle()
    {
        click("Command5");
        expectEndedForGood();
    }
    void exitDuringADrawing()
    {
        endTriangleWith([this] { click("Command5"); });
        QCOMPARE(driven->nestingAtEnd, 6);
        expectEndedForGood();
    }
    void windowClosedDuringADrawing()
    {
        endTriangleWith([this] { window->close(); });
        QCOMPARE(driven->nestingAtEnd, 6);
        expectEndedForGood();
    }
    void exitInsideANestedPress()
    {
        endTriangleWith([this] {
            const AtNextYield exit([this] { click("Command5"); });
            click("Command2");
        });
        QVERIFY(driven->nestingAtEnd > 6);
        expectEndedForGood();
    }

    void runTimeErrors_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("untouched");
        QTest::newRow("negative count") << "-1" << QString::fromStdString(texts::pressError(ErrorKind::Count)) << true;
        QTest::newRow("beyond 16 bits") << "&H8000" << QString::fromStdString(texts::pressError(ErrorKind::Overflow)) << true;
        QTest::newRow("deeper than the stack allows") << "32767" << QString::fromStdString(texts::pressError(ErrorKind::Stack)) << false;
    }
    void runTimeErrors()
    {
        QFETCH(QString, count);
        QFETCH(QString, message);
        QFETCH(bool, untouched);
        setCount("1");
        click("Command1");
        const QImage before = picture();
        setCount(qPrintable(count));
        click("Command1");
        QCOMPARE(window->lastOutcome().status, PressOutcome::Status::Failed);
        QCOMPARE(driven->log.errors, QStringList{message});
        QCOMPARE(picture() == before, untouched);
        // The window goes on.
        setCount("0");
        click("Command1");
        QCOMPARE(window->lastOutcome(), PressOutcome::done());
        QVERIFY(window->isVisible());
    }

    // At the usual pace a drawing lets the window repaint, and take a click,
    // while it runs; how often is velmoran-bench's to measure.
    void windowStaysLiveDuringADrawing()
    {
        const PaintWatch counter(*window);
        int turns = 0;  // of a zero timer, as a click would get
        QTimer probe;
        connect(&probe, &QTimer::timeout, [&] { ++turns; });
        // A deep triangle works along the pixels' edges for a few
        // milliseconds now, less than the pump's usual 10 ms between
        // hand-overs: with events handed over every millisecond, the clock
        // hands them over during its work too, not only its first yield.
        window->pump().setTiming({std::chrono::milliseconds(1), std::chrono::microseconds(100)});
        setCount("22");
        probe.start(0);
        click("Command1");
        probe.stop();
        QCOMPARE(window->lastOutcome(), PressOutcome::done());
        // The press's own final repaint comes after it returns: these came
        // during the drawing.
        QVERIFY(counter.paints > 0);
        QVERIFY(turns > 0);
    }
};

VELMORAN_TEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
