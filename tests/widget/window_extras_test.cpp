// What the window offers beyond its controls, none of it visible until used:
// keys, the drawing area's menu, stopping, the busy pointer, tooltips,
// saving and copying the picture.

#include <QtTest>

#include <functional>
#include <memory>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>

#include "ui/app_setup.hpp"
#include "ui/drawing_area.hpp"
#include "ui/picture_file.hpp"
#include "ui/raster_surface.hpp"
#include "window_driver.hpp"

using namespace velmoran;
using namespace velmoran::testing;

namespace {

// Runs `action` at the first yieldToEvents of the press that follows, if
// there is one before this object goes.
class AtNextYield {
public:
    explicit AtNextYield(std::function<void()> action)
    {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, std::move(action));
        timer_.start(0);
    }

private:
    QTimer timer_;
};

// The pointer over the window and over the count box's text.
using Pointers = QPair<int, int>;
using PointerList = QList<Pointers>;

QImage filePicture(const QString& file) { return QImage(file).convertToFormat(QImage::Format_RGB32); }

}  // namespace

class WindowExtrasTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ui::MainWindow> form;
    DialogLog log;
    int endings = 0;
    QTemporaryDir settingsDir;

    ui::DrawingArea* area() { return form->findChild<ui::DrawingArea*>(QStringLiteral("Picture1")); }
    QComboBox* countBox() { return form->findChild<QComboBox*>(QStringLiteral("Combo1")); }
    QImage picture() { return form->surface().image().copy(); }
    void draw(Figure figure, const char* text)
    {
        setSelectorText(*form, text);
        clickByMouse(*figureButton(*form, figure));
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
    }
    QImage predicted(Figure figure, const char* text)
    {
        TraceRequest request;
        request.figure = figure;
        request.text = text;
        return predict(*form, request).picture;
    }

private slots:
    void initTestCase()
    {
        ui::setupApplication(*qobject_cast<QApplication*>(QCoreApplication::instance()));
        // The remembered folder goes here, not into the user's settings.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    }

    void init()
    {
        log = {};
        endings = 0;
        QSettings().clear();
        form = std::make_unique<ui::MainWindow>();
        form->setDialogs(std::make_unique<RecordingDialogs>(log));
        form->setEndProgram([this] { ++endings; });
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    void cleanup() { form.reset(); }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("focus");  // where the key is typed
        QTest::addColumn<QString>("effect");
        QTest::newRow("Ctrl+S") << int(Qt::Key_S) << int(Qt::ControlModifier) << "Picture1" << "save";
        QTest::newRow("Ctrl+S in the count box") << int(Qt::Key_S) << int(Qt::ControlModifier) << "Combo1" << "save";
        QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier) << "Command2" << "copy";
        QTest::newRow("Ctrl+C in the count box") << int(Qt::Key_C) << int(Qt::ControlModifier) << "Combo1" << "copy";
        QTest::newRow("Ctrl+C on the count's selected text")
            << int(Qt::Key_C) << int(Qt::ControlModifier) << "Combo1 selected" << "copy text";
        QTest::newRow("Ctrl+P") << int(Qt::Key_P) << int(Qt::ControlModifier) << "Picture1" << "print";
        QTest::newRow("Ctrl+Q") << int(Qt::Key_Q) << int(Qt::ControlModifier) << "Picture1" << "end";
        QTest::newRow("F1") << int(Qt::Key_F1) << 0 << "Command6" << "about";
        QTest::newRow("Esc with nothing to stop") << int(Qt::Key_Escape) << 0 << "Picture1" << "nothing";
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, focus);
        QFETCH(QString, effect);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        form->setPrinterChoice([&] { return pdfPrinter(pdf); });
        draw(Figure::SierpinskiTriangle, "3");
        const QImage drawn = picture();
        QApplication::clipboard()->clear();
        form->findChild<QWidget*>(focus.section(' ', 0, 0))->setFocus();
        if (focus.endsWith(QLatin1String(" selected")))
            countBox()->lineEdit()->selectAll();
        this->key(key, Qt::KeyboardModifiers(modifiers));

        QCOMPARE(log.imageFolders.size(), effect == "save" ? 1 : 0);
        QCOMPARE(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32) == drawn, effect == "copy");
        QCOMPARE(QApplication::clipboard()->text(), effect == "copy text" ? countBox()->currentText() : QString());
        QCOMPARE(isCompletePdf(pdf), effect == "print");
        QCOMPARE(endings, effect == "end" ? 1 : 0);
        QCOMPARE(log.abouts.size(), effect == "about" ? 1 : 0);
        QVERIFY(log.errors.isEmpty());
        QCOMPARE(picture(), drawn);
        if (effect == "about") {
            const QString about = log.abouts.constFirst();
            for (const QString& part : {QStringLiteral("Informazioni su Velmoran"), QStringLiteral("Velmoran 1.00"),
                                        QStringLiteral("GPL-3.0-or-later"), QStringLiteral("www.velmoran.it"),
                                        QStringLiteral("Qt ") + QString::fromLatin1(qVersion())})
                QVERIFY2(about.contains(part), qPrintable(part));
        }
    }

    // The area's menu, opened by the mouse or the keyboard, offers saving,
    // copying and, only while a drawing runs, stopping it.
    void contextMenu_data()
    {
        QTest::addColumn<bool>("duringADrawing");
        QTest::addColumn<int>("reason");
        QTest::newRow("right click, idle") << false << int(QContextMenuEvent::Mouse);
        QTest::newRow("Menu key, idle") << false << int(QContextMenuEvent::Keyboard);
        QTest::newRow("right click during a drawing") << true << int(QContextMenuEvent::Mouse);
    }
    void contextMenu()
    {
        QFETCH(bool, duringADrawing);
        QFETCH(int, reason);
        QStringList offered;
        auto open = [&] {
            // The menu runs its own loop: it is read, and its last entry
            // taken, from inside it.
            QTimer::singleShot(0, [&] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                QVERIFY(menu);
                for (QAction* action : menu->actions())
                    offered << action->text() + (action->isEnabled() ? "" : " (off)");
                menu->actions().constLast()->trigger();
                menu->close();
            });
            const QPoint at(100, 100);
            QContextMenuEvent event(QContextMenuEvent::Reason(reason), at, area()->mapToGlobal(at));
            QApplication::sendEvent(area(), &event);
        };
        if (duringADrawing) {
            form->pump().setTiming(ui::PumpTiming::everyCall());
            const AtNextYield menu(open);
            draw(Figure::SierpinskiCarpet, "6");
        } else {
            open();
        }
        QCOMPARE(offered, QStringList({QStringLiteral("Salva immagine..."), QStringLiteral("Copia"),
                                       duringADrawing ? QStringLiteral("Interrompi il disegno")
                                                      : QStringLiteral("Interrompi il disegno (off)")}));
        QCOMPARE(form->lastOutcome(), duringADrawing ? PressOutcome::stopped() : PressOutcome::done());
    }

    // Esc stops every drawing in progress and leaves what it drew; what is
    // pressed after it draws normally. `then` is pressed in the same batch
    // of events as Esc.
    void escStops_data()
    {
        QTest::addColumn<bool>("nested");  // a second press runs inside the first when Esc comes
        QTest::addColumn<bool>("then");
        QTest::newRow("one drawing") << false << false;
        QTest::newRow("a press and the one it interrupted") << true << false;
        QTest::newRow("a press right after Esc") << false << true;
    }
    void escStops()
    {
        QFETCH(bool, nested);
        QFETCH(bool, then);
        form->pump().setTiming(ui::PumpTiming::everyCall());
        QImage atStop;
        auto stop = [&] {
            key(Qt::Key_Escape);
            atStop = picture();
            if (then)
                draw(Figure::SierpinskiTriangle, "2");
        };
        const AtNextYield first([&] {
            if (!nested)
                return stop();
            const AtNextYield second(stop);
            draw(Figure::KochSnowflake, "6");
        });
        draw(Figure::SierpinskiCarpet, "6");
        QCOMPARE(form->lastOutcome(), PressOutcome::stopped());
        QCOMPARE(form->state().runningPresses, 0);
        QCOMPARE(form->state().nesting, 0);
        QVERIFY(log.errors.isEmpty());
        if (then) {
            QCOMPARE(picture(), predicted(Figure::SierpinskiTriangle, "2"));
        } else {
            // Not a line more after the stop.
            QCOMPARE(picture(), atStop);
            QVERIFY(picture() != predicted(nested ? Figure::KochSnowflake : Figure::SierpinskiCarpet, "6"));
        }
        draw(Figure::KochCurve, "3");
        QCOMPARE(form->lastOutcome(), PressOutcome::done());
        QCOMPARE(picture(), predicted(Figure::KochCurve, "3"));
    }

    // The busy pointer shows over the window, the count box's text included,
    // from the outermost press's start to its end, however it ends.
    void busyPointer_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("during");  // what happens at the first yield; empty: there is none
        QTest::addColumn<PressOutcome>("outcome");
        QTest::newRow("finished") << "4" << "nothing" << PressOutcome::done();
        QTest::newRow("stopped") << "6" << "stop" << PressOutcome::stopped();
        QTest::newRow("a nested press ends first") << "4" << "nested" << PressOutcome::done();
        QTest::newRow("too deep") << "32767" << "" << PressOutcome::failed(ErrorKind::Stack);
        QTest::newRow("refused") << "-1" << "" << PressOutcome::failed(ErrorKind::Count);
    }
    void busyPointer()
    {
        QFETCH(QString, count);
        QFETCH(QString, during);
        QFETCH(PressOutcome, outcome);
        QLineEdit* countField = countBox()->lineEdit();
        auto pointers = [&] { return Pointers(form->cursor().shape(), countField->cursor().shape()); };
        const Pointers idle(Qt::ArrowCursor, Qt::IBeamCursor);
        const Pointers busy(Qt::BusyCursor, Qt::BusyCursor);
        QCOMPARE(pointers(), idle);
        PointerList atYield;
        form->pump().setTiming(ui::PumpTiming::everyCall());
        const AtNextYield first([&] {
            atYield << pointers();
            if (during == "stop")
                key(Qt::Key_Escape);
            if (during == "nested") {
                draw(Figure::KochCurve, "0");
                atYield << pointers();
            }
        });
        // A failure is reported once the drawing is over.
        PointerList atReport;
        log.onError = [&] { atReport << pointers(); };
        draw(Figure::SierpinskiTriangle, qPrintable(count));
        QCOMPARE(form->lastOutcome(), outcome);
        QCOMPARE(pointers(), idle);
        QCOMPARE(atReport, outcome.status == PressOutcome::Status::Failed ? PointerList{idle} : PointerList{});
        const int yields = during.isEmpty() ? 0 : during == "nested" ? 2 : 1;
        QCOMPARE(atYield, PointerList(yields, busy));
    }

    void toolTips_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tip");
        const QString used = QStringLiteral("Numero di iterazioni usato: %1");
        QTest::newRow("shown at start") << "" << used.arg(0);
        QTest::newRow("1e3") << "1e3" << used.arg(1000);
        QTest::newRow("abc") << "abc" << used.arg(0);
        QTest::newRow("leading number") << " 7 volte" << used.arg(7);
        QTest::newRow("half to even") << "2.5" << used.arg(2);
        QTest::newRow("hexadecimal") << "&H10" << used.arg(16);
        QTest::newRow("negative") << "-1" << ui::errorMessage(ErrorKind::Count);
        QTest::newRow("out of range") << "40000" << ui::errorMessage(ErrorKind::Overflow);
    }
    void toolTips()
    {
        QFETCH(QString, text);
        QFETCH(QString, tip);
        if (text.isEmpty())
            QCOMPARE(countBox()->currentText(), QStringLiteral("0"));
        else
            setSelectorText(*form, text.toStdString());
        QCOMPARE(countBox()->toolTip(), tip);
        // It tells what a press does with the text; the press is stopped at
        // once, as some counts would draw for ages.
        form->pump().setTiming(ui::PumpTiming::everyCall());
        const AtNextYield stop([&] { key(Qt::Key_Escape); });
        clickByMouse(*figureButton(*form, Figure::SierpinskiCarpet));
        if (tip.startsWith(QStringLiteral("Numero")))
            QCOMPARE(QString::number(form->state().iterations), tip.section(' ', -1));
        else
            QCOMPARE(log.errors, QStringList{tip});
    }

    void figureButtonsDescribeTheirFigure()
    {
        for (const FigureInfo& figure : kFigures) {
            QString caption = QString::fromUtf8(figure.caption);
            caption[0] = caption[0].toLower();
            const QString tip = figureButton(*form, figure.id)->toolTip();
            QVERIFY2(tip.startsWith(QStringLiteral("Disegna ")) && tip.contains(caption), qPrintable(tip));
        }
    }

    void save_data()
    {
        QTest::addColumn<QString>("file");  // as chosen in the dialog, inside the test's folder
        QTest::addColumn<QString>("reason");
        QTest::newRow("a new file") << "figura.png" << "";
        QTest::newRow("declined") << "" << "";
        QTest::newRow("missing folder") << "missing/figura.png" << "la cartella non esiste";
        QTest::newRow("a folder") << "folder" << "è una cartella";
    }
    void save()
    {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        const QString path = file.isEmpty() ? file : dir.filePath(file);
        log.imageFile = path;
        draw(Figure::SierpinskiCarpet, "3");
        const QImage drawn = picture();
        key(Qt::Key_S, Qt::ControlModifier);

        QCOMPARE(log.errors, reason.isEmpty() ? QStringList() : QStringList{ui::saveFailedMessage(path, reason)});
        const bool saved = !path.isEmpty() && reason.isEmpty();
        if (saved)
            QCOMPARE(filePicture(path), drawn);
        // The next save starts where the last one went.
        key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(log.imageFolders.size(), 2);
        QCOMPARE(log.imageFolders[1], saved ? dir.path() : log.imageFolders[0]);
    }

    // What is saved is the picture at its device pixels, whatever a drawing
    // does while the dialog is open.
    void saveDuringADrawing()
    {
        QTemporaryDir dir;
        log.imageFile = dir.filePath(QStringLiteral("partial.png"));
        QImage atSave;
        form->pump().setTiming(ui::PumpTiming::everyCall());
        const AtNextYield save([&] {
            atSave = picture();
            key(Qt::Key_S, Qt::ControlModifier);
        });
        draw(Figure::KochSnowflake, "4");
        QCOMPARE(form->lastOutcome(), PressOutcome::done());
        QCOMPARE(filePicture(log.imageFile), atSave);
        QVERIFY(atSave != picture());
    }
};

QTEST_MAIN(WindowExtrasTest)
#include "window_extras_test.moc"
