// What the window offers beyond its controls, none of it visible until used:
// keys, the drawing area's menu, stopping, the busy pointer, tooltips, and
// the picture saved as a file.

#include <QtTest>

#include <functional>
#include <memory>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QSettings>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "window/offscreen_press.hpp"
#include "files/png_file.hpp"
#include "files/vector_files.hpp"
#include "picture/raster_surface.hpp"
#include "tests/support/qt_test_main.hpp"
#include "texts/user_texts.hpp"
#include "window/drawing_area.hpp"
#include "window/guide_window.hpp"
#include "window/stage_window.hpp"
#include "window_driver.hpp"

using namespace velmoran;
using namespace velmoran::test;

Q_DECLARE_METATYPE(velmoran::window::UnfinishedChoice)

namespace {

// The pointer over the window and over the count box's text.
using Pointers = QPair<int, int>;
const Pointers kIdle(Qt::ArrowCursor, Qt::IBeamCursor);
const Pointers kBusy(Qt::BusyCursor, Qt::BusyCursor);

QString used(int count) { return QStringLiteral("Numero di iterazioni usato: %1").arg(count); }

QAction* stopEntryOf(const QWidget& menu)
{
    for (QAction* action : menu.actions())
        if (action->text() == QStringLiteral("Interrompi il disegno"))
            return action;
    return nullptr;
}

}  // namespace

class WindowExtrasTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DrivenWindow> driven;
    window::MainWindow* form = nullptr;
    QTemporaryDir settings;

    QComboBox* countBox() { return form->findChild<QComboBox*>(QStringLiteral("Combo1")); }
    QWidget* area() { return form->findChild<QWidget*>(QStringLiteral("Picture1")); }
    QAction* stopEntry() { return stopEntryOf(*area()); }
    Pointers pointers() { return {form->cursor().shape(), countBox()->lineEdit()->cursor().shape()}; }
    QImage picture() { return form->surface().image().copy(); }
    void draw(Figure figure, const char* text) { press(*form, figure, text); }
    void key(QKeyCombination keys)
    {
        QTest::keyClick(QApplication::focusWidget(), keys.key(), keys.keyboardModifiers());
    }
    QImage predicted(Figure figure, const char* text) { return predict(*form, {640, 490, {}, figure, text}).picture; }
    // The triangle at 3 drawn, then the focus given to `focus` ("LargeView":
    // the large view, shown first; "+" after it: its text selected); none
    // if its window never became active.
    QWidget* drawnAndFocused(const QString& focus)
    {
        draw(Figure::SierpinskiTriangle, "3");
        if (focus == "LargeView")
            key(Qt::Key_F11);
        QWidget* focused = form->findChild<QWidget*>(focus.chopped(focus.endsWith('+')));
        if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == focused->window(); }))
            return nullptr;
        focused->setFocus();
        if (focus.endsWith('+'))
            countBox()->lineEdit()->selectAll();
        return focused;
    }

    // Stops the drawings in progress by Esc or by the area's menu, noting
    // the pointers and the picture then.
    void stopNow(bool byMenu)
    {
        seenAtStops << pointers();
        QVERIFY(stopEntry()->isEnabled());
        if (byMenu) {
            QStringList menu;
            const AtNextYield choose([&] {
                for (QAction* action : QApplication::activePopupWidget()->actions())
                    menu << action->text();
                stopEntryOf(*QApplication::activePopupWidget())->trigger();
                QApplication::activePopupWidget()->close();
            });
            QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(), area()->mapToGlobal(QPoint()));
            QApplication::sendEvent(area(), &event);
            QCOMPARE(menu, QStringList({"Salva immagine…", "Esporta l'animazione…", "Copia", "Stampa", "Stampa…",
                                        "Interrompi il disegno", "", "Velocità del disegno", "Passo successivo",
                                        "Livello dopo livello", "Vista ingrandita", "Informazioni sulla figura", "",
                                        "Guida di Velmoran", "Informazioni su Velmoran", "", "Esci"}));
        } else {
            key(Qt::Key_Escape);
        }
        atStop = picture();
    }
    // The outer press stopped, the pointers busy at each of `stops` and idle
    // now; and the next press draws normally.
    void expectStoppedThenDrawsNormally(int stops)
    {
        QCOMPARE(form->lastOutcome(), PressOutcome::stopped());
        QCOMPARE(seenAtStops, QList<Pointers>(stops, kBusy));
        QCOMPARE(pointers(), kIdle);
        QVERIFY(!stopEntry()->isEnabled() && driven->log.errors.isEmpty());
        draw(Figure::KochCurve, "3");
        QCOMPARE(form->lastOutcome(), PressOutcome::done());
        QCOMPARE(picture(), predicted(Figure::KochCurve, "3"));
    }
    QList<Pointers> seenAtStops;
    QImage atStop;

    // The triangle at 3, then the snowflake at `count`, `interrupt` run at
    // its first yield; then Ctrl+S answered with an SVG file, a PNG file
    // if PNG is chosen, and `choice` to the question that offers the last
    // finished figure, `offered` (none: not asked). The file saved holds
    // `saved`: "shown" (the snowflake), "png", "triangle" or nothing.
    void saveVectorsAfter(const char* count, std::function<void()> interrupt, window::UnfinishedChoice choice,
                          const char* offered, const QString& saved)
    {
        QTemporaryDir dir;
        const QString svg = dir.filePath(QStringLiteral("a.svg"));
        const QString png = dir.filePath(QStringLiteral("a.png"));
        driven->log.imageFiles = {svg, png};
        driven->log.unfinishedChoice = choice;
        draw(Figure::SierpinskiTriangle, "3");
        {
            const AtNextYield during(interrupt ? interrupt : [] {});
            draw(Figure::KochSnowflake, count);
        }
        key(Qt::CTRL | Qt::Key_S);

        QCOMPARE(driven->log.imageNames.constFirst(), QStringLiteral("fiocco-") + count);
        QCOMPARE(driven->log.unfinishedOffers, offered ? QStringList{offered} : QStringList());
        QCOMPARE(QFileInfo::exists(png), saved == "png");
        QCOMPARE(QFileInfo::exists(svg), saved == "shown" || saved == "triangle");
        if (saved == "png")
            QCOMPARE(QImage(png).convertToFormat(QImage::Format_RGB32), picture());
        if (QFileInfo::exists(svg)) {
            const QString expected = dir.filePath(QStringLiteral("expected.svg"));
            const Figure figure = saved == "shown" ? Figure::KochSnowflake : Figure::SierpinskiTriangle;
            const double scale = picture().devicePixelRatio();
            files::saveSvg(
                std::get<picture::VectorPicture>(window::pressedVectors(figure, saved == "shown" ? "2" : "3", scale)),
                scale, expected);
            QCOMPARE(contents(svg), contents(expected));
        }
    }

private slots:
    void initTestCase() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path()); }
    void init()
    {
        QSettings().clear();
        seenAtStops.clear();
        atStop = QImage();
        driven = std::make_unique<DrivenWindow>(picture::PumpTiming::everyCall());
        form = &driven->window;
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
    }
    void cleanup() { driven.reset(); }

    void keys_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("focus");  // "+" after it: its text selected
        QTest::addColumn<QString>("effect");
        const auto row = [](const char* keys, const char* focus, const char* effect, const char* where = "") {
            QTest::addRow("%s%s", keys, where) << QString(keys) << QString(focus) << QString(effect);
        };
        row("Ctrl+S", "Combo1", "save");
        row("Ctrl+C", "Picture1", "copy");
        row("Ctrl+C", "Combo1", "copy", " in the count box");
        row("Ctrl+C", "Combo1+", "text", " on its selected text");
        row("Ctrl+P", "Command2", "print");
        row("Ctrl+Shift+P", "Picture1", "window", ", the window");
        row("Ctrl+Shift+P", "Picture1", "figure", ", the figure");
        row("Ctrl+Q", "Picture1", "end");
        row("F1", "Picture1", "guide");
        row("Shift+F1", "Picture1", "about");
        row("Ctrl+I", "Picture1", "numbers");
        row("Esc", "Picture1", "", " with nothing to stop");
        row("Ctrl+Q", "LargeView", "end", " in the large view");
    }
    void keys()
    {
        QFETCH(QString, keys);
        QFETCH(QString, focus);
        QFETCH(QString, effect);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        form->setPrinterChoice([&] { return pdfPrinter(pdf); });
        driven->log.printTo = [&](QPrinter& printer) { printer.setOutputFileName(pdf); };
        if (effect == "window" || effect == "figure")
            driven->log.printChoice =
                effect == "figure" ? window::PrintChoice::FigureAlone : window::PrintChoice::Window;
        QVERIFY(drawnAndFocused(focus));
        const QImage drawn = picture();
        QApplication::clipboard()->clear();
        key(QKeySequence(keys)[0]);

        QCOMPARE(driven->log.imageFolders.size(), int(effect == "save"));
        QCOMPARE(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32) == drawn, effect == "copy");
        QCOMPARE(QApplication::clipboard()->text(), effect == "text" ? QStringLiteral("3") : QString());
        QCOMPARE(isCompletePdf(pdf), effect == "print" || effect == "window" || effect == "figure");
        // The window's page has its buttons' captions; the figure's, its own.
        if (effect == "window" || effect == "figure") {
            QProcess text;
            text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
            if (text.waitForFinished()) {
                const QString words = QString::fromUtf8(text.readAllStandardOutput());
                QCOMPARE(words.contains(QStringLiteral("Esci")), effect == "window");
                QCOMPARE(words.contains(QStringLiteral("Triangolo di Sierpinski, 3 iterazioni")), effect == "figure");
            }
        }
        QCOMPARE(driven->endings, int(effect == "end"));
        QCOMPARE(driven->log.abouts.size(), int(effect == "about"));
        QCOMPARE(driven->log.numbers.size(), int(effect == "numbers"));
        QVERIFY(effect != "numbers"
                || driven->log.numbers.constFirst().startsWith("Triangolo di Sierpinski, 3 iterazioni\n\n"));
        QVERIFY(effect != "numbers" || driven->log.numbers.constFirst().endsWith("\n3\t27\t81\t27/8\t27/64\n"));
        for (const char* part :
             {"Informazioni su Velmoran\n", "Velmoran 1.00", "GPL-3.0-or-later", "www.velmoran.it", qVersion()})
            QVERIFY(effect != "about" || driven->log.abouts.constFirst().contains(QString::fromUtf8(part)));
        const auto* guide = form->findChild<window::GuideWindow*>();
        QCOMPARE(guide && guide->isVisible(), effect == "guide");
        QCOMPARE(picture(), drawn);
    }

    // Pressed while a step-paced triangle at 1 waits for a step, once at
    // each wait, until the drawing is stopped from its menu at the fourth.
    void keysWhileAStepWaits_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("waits");  // the first of the triangle's three leaves is drawn at once
        QTest::addColumn<QString>("countText");
        QTest::addColumn<bool>("fullScreen");  // the large view still is
        QTest::addColumn<bool>("stepped");     // to the finished triangle
        QTest::newRow("Space on a figure button") << "Space" << "Command1" << 2 << "1" << false << true;
        QTest::newRow("Space on Esci") << "Space" << "Command5" << 2 << "1" << false << true;
        QTest::newRow("Right in the large view") << "Right" << "LargeView" << 2 << "1" << true << true;
        QTest::newRow("Space in the count box: typed") << "Space" << "Combo1" << 4 << "1   " << false << false;
        QTest::newRow("Esc, full-screen view: stopped") << "Esc" << "LargeView" << 1 << "1" << false << false;
    }
    void keysWhileAStepWaits()
    {
        QFETCH(QString, keys);
        QFETCH(QString, focus);
        QFETCH(int, waits);
        QFETCH(QString, countText);
        QFETCH(bool, fullScreen);
        QFETCH(bool, stepped);
        QWidget* focused = drawnAndFocused(focus);
        QVERIFY(focused);
        key(Qt::CTRL | Qt::Key_4);
        // Posted anew each time, so that it comes in a press its key starts, too.
        int pressed = 0;
        std::function<void()> atWaits;
        QObject pending;
        atWaits = [&] {
            QTimer::singleShot(0, &pending, atWaits);
            if (form->pump().awaitsStep())
                pressed++ < 3 ? key(QKeySequence(keys)[0]) : stopEntry()->trigger();
        };
        atWaits();
        draw(Figure::SierpinskiTriangle, "1");
        QCOMPARE(pressed, waits);
        QCOMPARE(countBox()->currentText(), countText);
        QCOMPARE(focused->isFullScreen(), fullScreen);
        QCOMPARE(picture() == predicted(Figure::SierpinskiTriangle, "1"), stepped);
    }

    // Esc, or the area's menu, stops every drawing in progress and leaves
    // what it drew; the busy pointer and the menu's entry last as long as a
    // drawing runs; what is pressed afterwards draws normally.
    void stop_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("Esc") << false;
        QTest::newRow("the menu's entry") << true;
    }
    void stop()
    {
        QFETCH(bool, byMenu);
        const AtNextYield first([&] { stopNow(byMenu); });
        draw(Figure::SierpinskiCarpet, "6");
        QCOMPARE(picture(), atStop);
        QVERIFY(atStop != predicted(Figure::SierpinskiCarpet, "6"));
        expectStoppedThenDrawsNormally(1);
    }
    void stopANestedPressAndTheOneItInterrupted()
    {
        const AtNextYield first([&] {
            const AtNextYield second([&] { stopNow(false); });
            draw(Figure::KochSnowflake, "6");
            seenAtStops << pointers();  // the nested press has ended, the first not
        });
        draw(Figure::SierpinskiCarpet, "6");
        QCOMPARE(picture(), atStop);
        QVERIFY(atStop != predicted(Figure::KochSnowflake, "6"));
        expectStoppedThenDrawsNormally(2);
    }
    void aPressRightAfterEscDrawsWhole()
    {
        const AtNextYield first([&] {
            stopNow(false);
            draw(Figure::SierpinskiTriangle, "2");
        });
        draw(Figure::SierpinskiCarpet, "6");
        QCOMPARE(picture(), predicted(Figure::SierpinskiTriangle, "2"));
        QVERIFY(atStop != predicted(Figure::SierpinskiCarpet, "6"));
        expectStoppedThenDrawsNormally(1);
    }

    // The count a press would use now, or the message it would give.
    void toolTips_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tip");
        QTest::newRow("1e3") << "1e3" << used(1000);
        QTest::newRow("abc") << "abc" << used(0);
        QTest::newRow("half to even") << " 2.5 volte" << used(2);
        QTest::newRow("negative") << "-1" << QString::fromStdString(texts::pressError(ErrorKind::Count));
        QTest::newRow("out of range") << "40000" << QString::fromStdString(texts::pressError(ErrorKind::Overflow));
    }
    void toolTips()
    {
        QFETCH(QString, text);
        QFETCH(QString, tip);
        QCOMPARE(countBox()->toolTip(), used(0));
        setSelectorText(*form, text.toStdString());
        QCOMPARE(countBox()->toolTip(), tip);
        // Some of these counts would draw for ages: stopped at once.
        const AtNextYield escape([&] { key(Qt::Key_Escape); });
        clickByMouse(*figureButton(*form, Figure::SierpinskiCarpet));
        QCOMPARE(driven->log.errors.isEmpty() ? used(form->state().count) : driven->log.errors.constFirst(), tip);
    }

    void save_data()
    {
        QTest::addColumn<QString>("file");  // as chosen in the dialog, in the test's folder
        QTest::addColumn<int>("error");  // -1: none
        QTest::newRow("saved") << "figura.png" << -1;
        QTest::newRow("declined") << "" << -1;
        QTest::newRow("no such folder") << "missing/figura.png" << ENOENT;
    }
    void save()
    {
        QFETCH(QString, file);
        QFETCH(int, error);
        QTemporaryDir dir;
        driven->log.imageFile = file.isEmpty() ? file : dir.filePath(file);
        draw(Figure::SierpinskiCarpet, "3");
        key(Qt::CTRL | Qt::Key_S);
        const QStringList message{QString::fromStdString(texts::imageNotSaved(driven->log.imageFile.toStdString(), error))};
        QCOMPARE(driven->log.errors, error < 0 ? QStringList() : message);
        const bool saved = file.startsWith("figura.");
        if (saved)
            QCOMPARE(QImage(driven->log.imageFile).convertToFormat(QImage::Format_RGB32), picture());
        // The next save starts where the last one went.
        key(Qt::CTRL | Qt::Key_S);
        QCOMPARE(driven->log.imageFolders[1], saved ? dir.path() : driven->log.imageFolders[0]);
    }

    // The animation of Ctrl+E, its choice accepted as it stands.
    void saveAnimated()
    {
        QTemporaryDir dir;
        driven->log.imageFile = dir.filePath("figura.gif");
        draw(Figure::SierpinskiCarpet, "3");
        QTimer::singleShot(0, [] { qobject_cast<QDialog*>(QApplication::activeModalWidget())->accept(); });
        key(Qt::CTRL | Qt::Key_S);
        QCOMPARE(driven->log.errors, QStringList());
        QVERIFY(contents(driven->log.imageFile).startsWith("GIF89a"));
        // The choice's dialog took the focus with it.
        QApplication::setActiveWindow(&driven->window);
        area()->setFocus();
        QTimer::singleShot(0, [] { qobject_cast<QDialog*>(QApplication::activeModalWidget())->reject(); });
        key(Qt::CTRL | Qt::Key_S);
        QCOMPARE(driven->log.imageFolders[1], dir.path());
    }

    // Vectors are of the figure the area shows, never of another without a
    // word: after an unfinished drawing the person chooses PNG, the last
    // finished figure by name, or nothing.
    void saveVectorsOfAFinishedDrawing()
    {
        saveVectorsAfter("2", nullptr, window::UnfinishedChoice::Nothing, nullptr, "shown");
    }
    void saveVectorsAfterAStop_data()
    {
        QTest::addColumn<window::UnfinishedChoice>("choice");
        QTest::addColumn<QString>("saved");  // what the file holds: "png", "triangle" or ""
        QTest::newRow("as PNG") << window::UnfinishedChoice::ShownAsPng << "png";
        QTest::newRow("the last finished") << window::UnfinishedChoice::LastFinished << "triangle";
        QTest::newRow("declined") << window::UnfinishedChoice::Nothing << "";
    }
    void saveVectorsAfterAStop()
    {
        QFETCH(window::UnfinishedChoice, choice);
        QFETCH(QString, saved);
        saveVectorsAfter("6", [this] { key(Qt::Key_Escape); }, choice, "Salva Triangolo di Sierpinski, 3 iterazioni",
                         saved);
    }
    // The snowflake draws to its end, over the curve.
    void saveVectorsAfterANestedPressDeclined()
    {
        saveVectorsAfter("6", [this] { draw(Figure::KochCurve, "1"); }, window::UnfinishedChoice::Nothing,
                         "Salva Fiocco di neve di Koch, 6 iterazioni", "");
    }

    // The stage's status line, read a moment into a drawing its toolbar
    // started; and the toolbar's press is the window's, count and all.
    void stage_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("paced") << QStringList{"Ctrl+3"} << "2"
                               << QStringList{"Triangolo di Sierpinski, 2 iterazioni · velocità: Lenta · parte ", " di 9"};
        QTest::newRow("stepped") << QStringList{"Ctrl+4"} << "1"
                                 << QStringList{"velocità: Un passo alla volta · parte 1 di 3 · "
                                                "premi Spazio per la parte successiva"};
        QTest::newRow("level by level") << QStringList{"Ctrl+3", "Ctrl+L"} << "2"
                                        << QStringList{"Triangolo di Sierpinski, 0 iterazioni", "livello 0 di 2"};
        QTest::newRow("at once, as the window's button") << QStringList{} << "3" << QStringList{};
    }
    void stage()
    {
        QFETCH(QStringList, keys);
        QFETCH(QString, text);
        QFETCH(QStringList, words);
        key(Qt::Key_F11);
        window::StageWindow* stage = form->stage();
        QVERIFY(stage);
        QTRY_COMPARE(QApplication::activeWindow(), stage);
        for (const QString& keys : keys)
            key(QKeySequence(keys)[0]);
        stage->findChild<QComboBox*>(QStringLiteral("StageCount"))->setEditText(text);
        QString seen;
        QTimer::singleShot(180, form, [&] {
            seen = stage->statusText();
            if (stopEntry()->isEnabled())
                stopEntry()->trigger();
        });
        QAction* triangle = nullptr;
        for (QAction* action : stage->findChildren<QAction*>())
            if (action->text() == QStringLiteral("Triangolo"))
                triangle = action;
        QVERIFY(triangle);
        triangle->trigger();
        for (const QString& word : words)
            QVERIFY2(seen.contains(word), qPrintable(seen));
        QCOMPARE(countBox()->currentText(), text);
        if (words.isEmpty()) {
            QCOMPARE(picture(), predicted(Figure::SierpinskiTriangle, "3"));
            QTRY_VERIFY(stage->statusText().startsWith(QStringLiteral("Triangolo di Sierpinski, 3 iterazioni")));
        }
    }

    // A device is written where it is, never replaced by a file: this one
    // is the test's own /dev/full, so that a fault cannot replace the
    // system's.
    void saveToADevice()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("full"));
        if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
            QSKIP("making a device needs root");
        const QImage drawn = std::get<QImage>(window::pressedPicture(Figure::SierpinskiTriangle, "3", 2));
        QCOMPARE(drawn.size(), QSize(986, 698));
        QCOMPARE(files::savePng(drawn, path), std::optional<int>(ENOSPC));
        QVERIFY(!QFileInfo(path).isFile());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System), QStringList{QStringLiteral("full")});
    }
};

VELMORAN_TEST_MAIN(WindowExtrasTest)
#include "window_extras_test.moc"
