// Import through the real main window: the menu, the dialog, the canvas.
#include "app/import_dialog.h"
#include "support/test_main.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

class TestWindowImport : public QObject, private WindowFixture
{
    Q_OBJECT
private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void importedPictureIsThePreview_data();
    void importedPictureIsThePreview();
    void cancelAndBadFilesLeaveTheCanvas();

private:
    // A grey ramp from black to white, larger than the display.
    QString greyPicture()
    {
        QImage ramp(300, 120, QImage::Format_RGB32);
        QPainter painter(&ramp);
        QLinearGradient gradient(0, 0, 300, 0);
        gradient.setColorAt(0, Qt::black);
        gradient.setColorAt(1, Qt::white);
        painter.fillRect(ramp.rect(), gradient);
        painter.end();
        const QString file = path("ramp.png");
        ramp.save(file);
        return file;
    }
    // Runs Import on the file; the dialog, once up, gets the dither choice
    // and then OK or Cancel. Returns what its preview showed.
    QImage importWith(const QString &file, const QString &dither, bool ok)
    {
        QImage preview;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<ImportDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            dialog->findChild<QComboBox *>(QStringLiteral("importDither"))->setCurrentText(dither);
            preview = dialog->findChild<ImportPreview *>(QStringLiteral("importPreview"))->picture();
            const char *button = ok ? "importOk" : "importCancel";
            input::click(dialog->findChild<QPushButton *>(QLatin1String(button)));
        });
        prompts->fileNames.enqueue(file);
        find<QAction>("mnuImport")->trigger();
        return preview;
    }
};

void TestWindowImport::importedPictureIsThePreview_data()
{
    QTest::addColumn<QString>("dither");
    for (const char *dither : {"None", "Floyd-Steinberg", "Atkinson", "Ordered"})
        QTest::newRow(dither) << dither;
}

void TestWindowImport::importedPictureIsThePreview()
{
    QFETCH(QString, dither);
    const QImage preview = importWith(greyPicture(), dither, true);
    QCOMPARE(preview.size(), QSize(128, 64));
    QCOMPARE(window->canvas().canvasImage().convertToFormat(QImage::Format_RGB32),
             preview.convertToFormat(QImage::Format_RGB32));
    QVERIFY(prompts->fileFilters.last().contains(QStringLiteral("*.png")));
    // A grey ramp gives dots and white, whatever the dithering.
    click(Control::Convert);
    QVERIFY(outputText().contains(QStringLiteral("$ff")));
    QVERIFY(outputText().contains(QStringLiteral("$00")));

    // The command line imports byte for byte the same.
    QProcess cli;
    cli.start(QStringLiteral(VOXCEL_CONVERT_BIN),
              {QStringLiteral("--dither"), dither.toLower(), QStringLiteral("--fit"), QStringLiteral("fit"),
               path(QStringLiteral("ramp.png"))});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(QString::fromLatin1(cli.readAllStandardOutput()).trimmed(), outputText());
}

void TestWindowImport::cancelAndBadFilesLeaveTheCanvas()
{
    input::click(find<QWidget>(Control::Canvas), Qt::LeftButton, at(3, 3));
    const QImage before = window->canvas().canvasImage();
    importWith(greyPicture(), QStringLiteral("Ordered"), false);
    QCOMPARE(window->canvas().canvasImage(), before);

    QFile notAPicture(path("notes.png"));
    QVERIFY(notAPicture.open(QIODevice::WriteOnly));
    notAPicture.write("not a picture at all");
    notAPicture.close();
    for (const QString &bad : {path("notes.png"), path("missing.png")}) {
        prompts->messages.clear();
        importWith(bad, QStringLiteral("None"), true);
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY2(prompts->messages.first().startsWith(QStringLiteral("Cannot read ")),
                 qPrintable(prompts->messages.first()));
        QCOMPARE(window->canvas().canvasImage(), before);
    }
}

VOXCEL_TEST_MAIN(TestWindowImport)
#include "test_window_import.moc"
