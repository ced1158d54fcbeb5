// The picture as a file: saved pixel for pixel or not at all, and drawn
// without a window exactly as the window draws it.

#include <QtTest>

#include <QAbstractButton>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "ui/app_setup.hpp"
#include "ui/picture_export.hpp"
#include "ui/picture_file.hpp"
#include "ui/raster_surface.hpp"
#include "ui/user_dialogs.hpp"
#include "window_driver.hpp"

using namespace velmoran;
using namespace velmoran::testing;

class PictureExportTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ui::setupApplication(*qobject_cast<QApplication*>(QCoreApplication::instance())); }

    void savePng_data()
    {
        QTest::addColumn<QString>("file");  // inside the test's folder
        QTest::addColumn<QString>("reason");
        QTest::newRow("a new file") << "figura.png" << "";
        QTest::newRow("over an older file") << "older.png" << "";
        QTest::newRow("no such folder") << "missing/figura.png" << "la cartella non esiste";
        QTest::newRow("a folder") << "folder" << "è una cartella";
        // Devices and pipes are written where they are, never replaced by a file.
        QTest::newRow("a full device") << "full" << "spazio esaurito sul disco";
        QTest::newRow("a pipe") << "pipe" << "";
    }
    void savePng()
    {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        QFile older(dir.filePath(QStringLiteral("older.png")));
        QVERIFY(older.open(QIODevice::WriteOnly) && older.write("older") == 5);
        older.close();
        const QString path = dir.filePath(file);
        const QByteArray nativePath = QFile::encodeName(path);
        // A device like /dev/full of the test's own, so that a fault cannot
        // replace the system's.
        if (file == "full" && ::mknod(nativePath.constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
            QSKIP("making a device node needs root");
        // The pipe's reading end is open before the save, with room for the
        // whole file, so that the writer neither waits nor blocks.
        int pipeEnd = -1;
        if (file == "pipe") {
            QCOMPARE(::mkfifo(nativePath.constData(), 0600), 0);
            pipeEnd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK);
            QVERIFY(pipeEnd >= 0 && ::fcntl(pipeEnd, F_SETPIPE_SZ, 1 << 20) > 0);
        }
        // A picture at twice the screen's density: saved at its device pixels.
        const QImage picture = std::get<QImage>(ui::pressedPicture(Figure::SierpinskiTriangle, "3", 2));
        QImage devicePixels = picture;
        devicePixels.setDevicePixelRatio(1);

        QCOMPARE(ui::savePng(picture, path), reason);
        QByteArray piped;
        if (pipeEnd >= 0) {
            char buffer[4096];
            for (ssize_t n; (n = ::read(pipeEnd, buffer, sizeof buffer)) > 0;)
                piped.append(buffer, n);
            ::close(pipeEnd);
        }
        if (reason.isEmpty()) {
            const QImage saved = file == "pipe" ? QImage::fromData(piped) : QImage(path);
            QCOMPARE(saved.size(), QSize(986, 698));
            QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), devicePixels);
        }
        if (file == "full" || file == "pipe")
            QVERIFY(!QFileInfo(path).isFile());
        // Nothing left half-written beside.
        const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        QCOMPARE(files.size(), 1 + (file == "figura.png" || file == "full" || file == "pipe"));
    }

    void exportDrawsWhatTheWindowShows_data()
    {
        QTest::addColumn<int>("figure");
        QTest::addColumn<QString>("text");
        for (const FigureInfo& figure : kFigures)
            for (const char* text : {"0", "3", "1e0"})
                QTest::addRow("%s %s", figure.traceWord, text) << int(figure.id) << text;
    }
    void exportDrawsWhatTheWindowShows()
    {
        QFETCH(int, figure);
        QFETCH(QString, text);
        ui::MainWindow form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        setSelectorText(form, text.toStdString());
        clickByMouse(*figureButton(form, Figure(figure)));
        const auto exported = ui::pressedPicture(Figure(figure), text.toStdString(), 1);
        QVERIFY(std::holds_alternative<QImage>(exported));
        QCOMPARE(std::get<QImage>(exported), form.surface().image());
    }

    // Round(493 S) by round(349 S) device pixels.
    void exportSizes()
    {
        const QList<QPair<double, QSize>> rows = {
            {0.25, {123, 87}}, {1, {493, 349}}, {1.25, {616, 436}}, {1.5, {740, 524}}, {8, {3944, 2792}}};
        for (const auto& [scale, size] : rows) {
            const auto exported = ui::pressedPicture(Figure::KochSnowflake, "1", scale);
            QCOMPARE(std::get<QImage>(exported).size(), size);
        }
    }

    void exportFailures_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("negative count") << "-3" << "out.png" << ui::errorMessage(ErrorKind::Count);
        QTest::newRow("count beyond 16 bits") << "&H8000" << "out.png" << ui::errorMessage(ErrorKind::Overflow);
        QTest::newRow("too deep") << "32767" << "out.png" << ui::errorMessage(ErrorKind::Stack);
        QTest::newRow("no such folder") << "2" << "missing/out.png"
                                        << "Impossibile salvare l'immagine «%1»: la cartella non esiste.";
    }
    void exportFailures()
    {
        QFETCH(QString, text);
        QFETCH(QString, file);
        QFETCH(QString, message);
        QTemporaryDir dir;
        ui::ExportRequest request;
        request.file = dir.filePath(file).toStdString();
        request.text = text.toStdString();
        QCOMPARE(ui::exportPicture(request), message.contains("%1") ? message.arg(dir.filePath(file)) : message);
        // Nothing is written for a press that failed.
        QVERIFY(QDir(dir.path()).isEmpty());
    }
};

QTEST_MAIN(PictureExportTest)
#include "picture_export_test.moc"
