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
using namespace velmoran::testing;

namespace {

// The pointer over the window and over the count box's text.
using Pointers = QPair<int, int>;
const Pointers kIdle(Qt::ArrowCursor, Qt::IBeamCursor);
const Pointers kBusy(Qt::BusyCursor, Qt::BusyCursor);

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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
    ui::MainWindow* form = nullptr;
    QTemporaryDir settings;

    QComboBox* countBox() { return form->findChild<QComboBox*>(QStringLiteral("Combo1")); }
    QWidget* area() { return form->findChild<QWidget*>(QStringLiteral("Picture1")); }
    QAction* stopEntry() { return stopEntryOf(*area()); }
    Pointers pointers() { return {form->cursor().shape(), countBox()->lineEdit()->cursor().shape()}; }
    QImage picture() { return form->surface().image().copy(); }
    void draw(Figure figure, const char* text)
    {
        setSelectorText(*form, text);
        clickByMouse(*figureButton(*form, figure));
    }
    void key(QKeyCombination keys)
    {
        QTest::keyClick(QApplication::focusWidget(), keys.key(), keys.keyboardModifiers());
    }
    QImage predicted(Figure figure, const char* text)
    {
        TraceRequest request;
        request.figure = figure;
        request.text = text;
        return predict(*form, request).picture;
    }

private slots:
    void initTestCase() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path()); }
    void init()
    {
        QSettings().clear();
        driven = std::make_unique<DrivenWindow>(ui::PumpTiming::everyCall());
        form = &driven->window;
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
    }
    void cleanup() { driven.reset(); }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("focus");  // "+" after it: its text selected
        QTest::addColumn<QString>("effect");
        QTest::newRow("Ctrl+S") << (Qt::CTRL | Qt::Key_S).toCombined() << "Combo1" << "save";
        QTest::newRow("Ctrl+C") << (Qt::CTRL | Qt::Key_C).toCombined() << "Picture1" << "copy";
        QTest::newRow("Ctrl+C in the count box") << (Qt::CTRL | Qt::Key_C).toCombined() << "Combo1" << "copy";
        QTest::newRow("Ctrl+C on its selected text") << (Qt::CTRL | Qt::Key_C).toCombined() << "Combo1+" << "text";
        QTest::newRow("Ctrl+P") << (Qt::CTRL | Qt::Key_P).toCombined() << "Command2" << "print";
        QTest::newRow("Ctrl+Shift+P, the window") << (Qt::CTRL | Qt::SHIFT | Qt::Key_P).toCombined() << "Picture1"
                                                  << "window";
        QTest::newRow("Ctrl+Shift+P, the figure") << (Qt::CTRL | Qt::SHIFT | Qt::Key_P).toCombined() << "Picture1"
                                                  << "figure";
        QTest::newRow("Ctrl+Q") << (Qt::CTRL | Qt::Key_Q).toCombined() << "Picture1" << "end";
        QTest::newRow("F1") << QKeyCombination(Qt::Key_F1).toCombined() << "Picture1" << "guide";
        QTest::newRow("Shift+F1") << (Qt::SHIFT | Qt::Key_F1).toCombined() << "Picture1" << "about";
        QTest::newRow("Ctrl+I") << (Qt::CTRL | Qt::Key_I).toCombined() << "Picture1" << "numbers";
        QTest::newRow("Esc with nothing to stop") << QKeyCombination(Qt::Key_Escape).toCombined() << "Picture1" << "";
        QTest::newRow("Ctrl+Q in the large view") << (Qt::CTRL | Qt::Key_Q).toCombined() << "LargeView" << "end";
        // Pressed while a step-paced triangle at 1 waits for a step, once at each wait.
        QTest::newRow("Space on a figure button") << QKeyCombination(Qt::Key_Space).toCombined() << "Command1" << "step";
        QTest::newRow("Space on Esci") << QKeyCombination(Qt::Key_Space).toCombined() << "Command5" << "step";
        QTest::newRow("Right in the large view") << QKeyCombination(Qt::Key_Right).toCombined() << "LargeView" << "step";
        QTest::newRow("Space in the count box") << QKeyCombination(Qt::Key_Space).toCombined() << "Combo1" << "typed";
        QTest::newRow("Esc, full-screen view") << QKeyCombination(Qt::Key_Escape).toCombined() << "LargeView" << "stop";
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(QString, focus);
        QFETCH(QString, effect);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        form->setPrinterChoice([&] { return pdfPrinter(pdf); });
        driven->log.printTo = [&](QPrinter& printer) { printer.setOutputFileName(pdf); };
        if (effect == "window" || effect == "figure")
            driven->log.printChoice = effect == "figure" ? ui::PrintChoice::FigureAlone : ui::PrintChoice::Window;
        draw(Figure::SierpinskiTriangle, "3");
        const QImage drawn = picture();
        QApplication::clipboard()->clear();
        if (focus == "LargeView")
            this->key(Qt::Key_F11);
        QWidget* focused = form->findChild<QWidget*>(focus.chopped(focus.endsWith('+')));
        QTRY_COMPARE(QApplication::activeWindow(), focused->window());
        focused->setFocus();
        if (focus.endsWith('+'))
            countBox()->lineEdit()->selectAll();
        if (effect == "step" || effect == "typed" || effect == "stop") {
            this->key(Qt::CTRL | Qt::Key_4);
            setSelectorText(*form, "1");
            // Posted anew each time, so that it comes in a press its key starts, too.
            int pressed = 0;
            std::function<void()> atWaits;
            QObject pending;
            atWaits = [&] {
                QTimer::singleShot(0, &pending, atWaits);
                if (form->pump().awaitsStep())
                    pressed++ < 3 ? this->key(QKeyCombination::fromCombined(key)) : stopEntry()->trigger();
            };
            atWaits();
            clickByMouse(*figureButton(*form, Figure::SierpinskiTriangle));
            // The first of the triangle's three leaves is drawn at once.
            QCOMPARE(pressed, effect == "step" ? 2 : effect == "typed" ? 4 : 1);
            QCOMPARE(countBox()->currentText(), effect == "typed" ? "1   " : "1");
            QCOMPARE(focused->isFullScreen(), focus == "LargeView" && effect != "stop");
            QCOMPARE(picture() == predicted(Figure::SierpinskiTriangle, "1"), effect == "step");
            return;
        }
        this->key(QKeyCombination::fromCombined(key));

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
        const auto* guide = form->findChild<ui::GuideWindow*>();
        QCOMPARE(guide && guide->isVisible(), effect == "guide");
        QCOMPARE(picture(), drawn);
    }

    // Esc, or the area's menu, stops every drawing in progress and leaves
    // what it drew; the busy pointer and the menu's entry last as long as a
    // drawing runs; what is pressed afterwards draws normally.
    void stop_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Esc") << "Esc";
        QTest::newRow("the menu's entry") << "menu";
        QTest::newRow("a nested press and the one it interrupted") << "nested";
        QTest::newRow("a press right after Esc") << "then";
    }
    void stop()
    {
        QFETCH(QString, how);
        QList<Pointers> seen;
        QImage atStop;
        QStringList menu;
        const std::function<void()> stop = [&] {
            seen << pointers();
            QVERIFY(stopEntry()->isEnabled());
            if (how == "menu") {
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
                                            "Livello dopo livello",
                                            "Vista ingrandita", "Informazioni sulla figura", "", "Guida di Velmoran",
                                            "Informazioni su Velmoran", "", "Esci"}));
            } else {
                key(Qt::Key_Escape);
            }
            atStop = picture();
            if (how == "then")
                draw(Figure::SierpinskiTriangle, "2");
        };
        const AtNextYield first([&] {
            if (how != "nested")
                return stop();
            const AtNextYield second(stop);
            draw(Figure::KochSnowflake, "6");
            seen << pointers();  // the nested press has ended, the first not
        });
        draw(Figure::SierpinskiCarpet, "6");
        QCOMPARE(form->lastOutcome(), PressOutcome::stopped());
        QCOMPARE(picture(), how == "then" ? predicted(Figure::SierpinskiTriangle, "2") : atStop);
        QVERIFY(atStop != predicted(how == "nested" ? Figure::KochSnowflake : Figure::SierpinskiCarpet, "6"));
        QCOMPARE(seen, QList<Pointers>(how == "nested" ? 2 : 1, kBusy));
        QCOMPARE(pointers(), kIdle);
        QVERIFY(!stopEntry()->isEnabled() && driven->log.errors.isEmpty());
        draw(Figure::KochCurve, "3");
        QCOMPARE(form->lastOutcome(), PressOutcome::done());
        QCOMPARE(picture(), predicted(Figure::KochCurve, "3"));
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
        QCOMPARE(driven->log.errors.isEmpty() ? used(form->state().iterations) : driven->log.errors.constFirst(), tip);
    }

    void save_data()
    {
        QTest::addColumn<QString>("file");  // as chosen in the dialog, in the test's folder
        QTest::addColumn<int>("error");  // -1: none
        QTest::newRow("saved") << "figura.png" << -1;
        QTest::newRow("declined") << "" << -1;
        QTest::newRow("no such folder") << "missing/figura.png" << ENOENT;
        // The animation of Ctrl+E, its choice accepted as it stands.
        QTest::newRow("animated") << "figura.gif" << -1;
    }
    void save()
    {
        QFETCH(QString, file);
        QFETCH(int, error);
        QTemporaryDir dir;
        driven->log.imageFile = file.isEmpty() ? file : dir.filePath(file);
        draw(Figure::SierpinskiCarpet, "3");
        if (file.endsWith(".gif"))
            QTimer::singleShot(0, [] { qobject_cast<QDialog*>(QApplication::activeModalWidget())->accept(); });
        key(Qt::CTRL | Qt::Key_S);
        const QStringList message{QString::fromStdString(texts::imageNotSaved(driven->log.imageFile.toStdString(), error))};
        QCOMPARE(driven->log.errors, error < 0 ? QStringList() : message);
        const bool saved = file.startsWith("figura.");
        if (file == "figura.png")
            QCOMPARE(QImage(driven->log.imageFile).convertToFormat(QImage::Format_RGB32), picture());
        if (file == "figura.gif") {
            QFile gif(driven->log.imageFile);
            QVERIFY(gif.open(QIODevice::ReadOnly) && gif.read(6) == "GIF89a");
            // The choice's dialog took the focus with it.
            QApplication::setActiveWindow(&driven->window);
            area()->setFocus();
            QTimer::singleShot(0, [] { qobject_cast<QDialog*>(QApplication::activeModalWidget())->reject(); });
        }
        // The next save starts where the last one went.
        key(Qt::CTRL | Qt::Key_S);
        QCOMPARE(driven->log.imageFolders[1], saved ? dir.path() : driven->log.imageFolders[0]);
    }

    // Vectors are of the figure the area shows, never of another without a
    // word: after an unfinished drawing the person chooses PNG, the last
    // finished figure by name, or nothing.
    void saveVectorsOfWhatIsShown_data()
    {
        QTest::addColumn<QString>("drawing");  // "finished", "stopped" or "nested"
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("saved");  // what the file holds: "shown", "png", "triangle" or ""
        const int nothing = int(ui::UnfinishedChoice::Nothing);
        QTest::newRow("finished") << "finished" << nothing << "shown";
        QTest::newRow("stopped, as PNG") << "stopped" << int(ui::UnfinishedChoice::ShownAsPng) << "png";
        QTest::newRow("stopped, the last finished") << "stopped" << int(ui::UnfinishedChoice::LastFinished)
                                                    << "triangle";
        QTest::newRow("stopped, declined") << "stopped" << nothing << "";
        QTest::newRow("nested, declined") << "nested" << nothing << "";
    }
    void saveVectorsOfWhatIsShown()
    {
        QFETCH(QString, drawing);
        QFETCH(int, choice);
        QFETCH(QString, saved);
        QTemporaryDir dir;
        const QString svg = dir.filePath(QStringLiteral("a.svg"));
        const QString png = dir.filePath(QStringLiteral("a.png"));
        driven->log.imageFiles = {svg, png};
        driven->log.unfinishedChoice = ui::UnfinishedChoice(choice);
        draw(Figure::SierpinskiTriangle, "3");
        if (drawing == "finished") {
            draw(Figure::KochSnowflake, "2");
        } else {
            const AtNextYield interrupt([&] {
                if (drawing == "nested")
                    draw(Figure::KochCurve, "1");
                else
                    key(Qt::Key_Escape);
            });
            draw(Figure::KochSnowflake, "6");
        }
        key(Qt::CTRL | Qt::Key_S);

        QCOMPARE(driven->log.imageNames.constFirst(), drawing == "finished" ? "fiocco-2" : "fiocco-6");
        // Nested, the snowflake drew to its end, over the curve.
        const QStringList offers{drawing == "nested" ? "Salva Fiocco di neve di Koch, 6 iterazioni"
                                                     : "Salva Triangolo di Sierpinski, 3 iterazioni"};
        QCOMPARE(driven->log.unfinishedOffers, drawing == "finished" ? QStringList() : offers);
        QCOMPARE(QFileInfo::exists(png), saved == "png");
        QCOMPARE(QFileInfo::exists(svg), saved == "shown" || saved == "triangle");
        if (saved == "png")
            QCOMPARE(QImage(png).convertToFormat(QImage::Format_RGB32), picture());
        if (QFileInfo::exists(svg)) {
            const QString expected = dir.filePath(QStringLiteral("expected.svg"));
            const Figure figure = saved == "shown" ? Figure::KochSnowflake : Figure::SierpinskiTriangle;
            const double scale = picture().devicePixelRatio();
            ui::saveSvg(std::get<ui::VectorPicture>(ui::pressedVectors(figure, saved == "shown" ? "2" : "3", scale)), scale,
                        expected);
            QCOMPARE(contents(svg), contents(expected));
        }
    }

    // A device is written where it is, never replaced by a file: this one
    // is the test's own /dev/full, so that a fault cannot replace the
    // system's.
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
        ui::StageWindow* stage = form->stage();
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

    void saveToADevice()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("full"));
        if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
            QSKIP("making a device needs root");
        const QImage drawn = std::get<QImage>(ui::pressedPicture(Figure::SierpinskiTriangle, "3", 2));
        QCOMPARE(drawn.size(), QSize(986, 698));
        QCOMPARE(ui::savePng(drawn, path), std::optional<int>(ENOSPC));
        QVERIFY(!QFileInfo(path).isFile());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System), QStringList{QStringLiteral("full")});
    }
};

VELMORAN_TEST_MAIN(WindowExtrasTest)
#include "window_extras_test.moc"
