// The Import Picture dialog, driven by objectName offscreen as a user or an
// automation script would.
#include "app/import_dialog.h"
#include "support/controls.h"
#include "support/scripted_prompts.h"
#include "support/test_main.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// A grey ramp with a black disc: something for every option to change.
QImage samplePicture()
{
    QImage picture(300, 200, QImage::Format_RGB32);
    for (int x = 0; x < 300; ++x)
        QPainter(&picture).fillRect(x, 0, 1, 200, QColor(x * 255 / 299, x * 255 / 299, 200));
    QPainter painter(&picture);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QPoint(150, 100), 60, 60);
    return picture;
}

QComboBox *fitCombo(QWidget *d)
{
    return control<QComboBox>(d, "importFit");
}
QComboBox *ditherCombo(QWidget *d)
{
    return control<QComboBox>(d, "importDither");
}
QCheckBox *autoCheck(QWidget *d)
{
    return control<QCheckBox>(d, "importAuto");
}
QSlider *thresholdSlider(QWidget *d)
{
    return control<QSlider>(d, "importThreshold");
}
ImportPreview *preview(QWidget *d)
{
    return control<ImportPreview>(d, "importPreview");
}

} // namespace

class TestImportDialog : public QObject
{
    Q_OBJECT
private slots:
    void previewIsThePictureOkGives_data();
    void previewIsThePictureOkGives();
    void automaticThresholdDisablesTheSlider();
    void runGivesThePictureOnOkOnly_data();
    void runGivesThePictureOnOkOnly();
};

void TestImportDialog::previewIsThePictureOkGives_data()
{
    QTest::addColumn<bool>("halfHeight");
    QTest::addColumn<int>("fit");
    QTest::addColumn<int>("threshold"); // -1: automatic
    QTest::addColumn<int>("dither");
    QTest::addColumn<bool>("invert");
    QTest::newRow("as it opens") << false << 0 << -1 << 0 << false;
    QTest::newRow("fill, Floyd-Steinberg") << false << 1 << -1 << 1 << false;
    QTest::newRow("stretch, threshold 60, inverted") << false << 2 << 60 << 0 << true;
    QTest::newRow("original size, Atkinson") << false << 3 << -1 << 2 << false;
    QTest::newRow("128x32 as it opens") << true << 0 << -1 << 0 << false;
    QTest::newRow("128x32 fill, ordered, threshold 200, inverted") << true << 1 << 200 << 3 << true;
}

void TestImportDialog::previewIsThePictureOkGives()
{
    QFETCH(bool, halfHeight);
    QFETCH(int, fit);
    QFETCH(int, threshold);
    QFETCH(int, dither);
    QFETCH(bool, invert);
    const QSize target = importTargetSize(halfHeight);
    ImportDialog dialog(PictureImport(samplePicture(), target));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.objectName(), QStringLiteral("frmImport"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Import Picture"));
    QVERIFY(dialog.isModal());
    const QStringList fits{"Fit", "Fill", "Stretch", "Original size"};
    const QStringList dithers{"None", "Floyd-Steinberg", "Atkinson", "Ordered"};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(fitCombo(&dialog)->itemText(i), fits[i]);
        QCOMPARE(ditherCombo(&dialog)->itemText(i), dithers[i]);
    }
    QCOMPARE(dialog.options(), [&] { // the defaults, with the threshold found
        ImportOptions o;
        o.threshold = thresholdSlider(&dialog)->value();
        return o;
    }());
    QCOMPARE(preview(&dialog)->size(), target * ImportPreview::Zoom + QSize(2, 2) * ImportPreview::Border);

    fitCombo(&dialog)->setCurrentIndex(fit);
    autoCheck(&dialog)->setChecked(threshold < 0);
    if (threshold >= 0)
        thresholdSlider(&dialog)->setValue(threshold);
    ditherCombo(&dialog)->setCurrentIndex(dither);
    control<QCheckBox>(&dialog, "importInvert")->setChecked(invert);

    ImportOptions o;
    o.fit = ImportFit(fit);
    o.autoThreshold = threshold < 0;
    o.threshold = threshold;
    o.dither = ImportDither(dither);
    o.invert = invert;
    PictureImport alone(samplePicture(), target);
    alone.setOptions(o);
    QCOMPARE(dialog.picture(), alone.picture());
    QCOMPARE(preview(&dialog)->picture(), alone.picture());
    QCOMPARE(control<QLabel>(&dialog, "importThresholdValue")->text(), QString::number(alone.threshold()));

    // On screen every dot is a 3 x 3 square in its colour.
    const QImage shown = preview(&dialog)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 3 * target.height(); ++y)
        for (int x = 0; x < 3 * target.width(); ++x)
            QCOMPARE(shown.pixel(ImportPreview::Border + x, ImportPreview::Border + y),
                     alone.picture().pixel(x / 3, y / 3));
}

void TestImportDialog::automaticThresholdDisablesTheSlider()
{
    ImportDialog dialog(PictureImport(samplePicture(), importTargetSize(false)));
    QSlider *slider = thresholdSlider(&dialog);
    QVERIFY(autoCheck(&dialog)->isChecked() && !slider->isEnabled());
    // The slider shows the threshold found for what is shown.
    const int found = slider->value();
    fitCombo(&dialog)->setCurrentIndex(3);
    QVERIFY(slider->value() != found);
    fitCombo(&dialog)->setCurrentIndex(0);
    QCOMPARE(slider->value(), found);

    // Off: the slider is free and starts at the threshold found: no change yet.
    const QImage before = preview(&dialog)->picture();
    autoCheck(&dialog)->setChecked(false);
    QVERIFY(slider->isEnabled());
    QCOMPARE(preview(&dialog)->picture(), before);
    slider->setValue(found + 60);
    QVERIFY(preview(&dialog)->picture() != before);
    QCOMPARE(dialog.options().threshold, found + 60);

    autoCheck(&dialog)->setChecked(true);
    QVERIFY(!slider->isEnabled());
    QCOMPARE(slider->value(), found);
    QCOMPARE(preview(&dialog)->picture(), before);
}

void TestImportDialog::runGivesThePictureOnOkOnly_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: a real picture
    QTest::addColumn<QString>("button");     // the button pressed once the dialog is up
    QTest::addColumn<bool>("halfHeight");
    QTest::newRow("OK") << QByteArray() << "importOk" << false;
    QTest::newRow("OK in 128x32") << QByteArray() << "importOk" << true;
    QTest::newRow("Cancel") << QByteArray() << "importCancel" << false;
    QTest::newRow("not a picture") << QByteArray("just words") << "importOk" << false;
}

void TestImportDialog::runGivesThePictureOnOkOnly()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, button);
    QFETCH(bool, halfHeight);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sample.png"));
    if (content.isEmpty()) {
        QVERIFY(samplePicture().save(path));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    ScriptedPrompts prompts;
    ImportOptions remembered;
    remembered.fit = ImportFit::Fill;
    remembered.dither = ImportDither::Ordered;

    // Once the dialog is up: check it starts from the remembered options,
    // change one, note the preview, press the button.
    QString shown;
    ImportOptions started;
    QImage previewed;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<ImportDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shown = dialog->objectName();
        started = dialog->options();
        control<QCheckBox>(dialog, "importInvert")->setChecked(true);
        previewed = preview(dialog)->picture();
        clickButton(dialog, button.toLatin1().constData());
    });
    const std::optional<ImportDialog::Imported> imported =
        ImportDialog::run(nullptr, prompts, path, halfHeight, &remembered);
    const std::optional<QImage> picture = imported ? std::optional<QImage>(imported->picture) : std::nullopt;
    QCoreApplication::processEvents(); // the timer has run when no dialog opened

    const bool ok = content.isEmpty() && button == QLatin1String("importOk");
    QCOMPARE(picture.has_value(), ok);
    QCOMPARE(remembered.invert, ok);
    QCOMPARE(shown, content.isEmpty() ? QStringLiteral("frmImport") : QString());
    if (content.isEmpty()) {
        QCOMPARE(started.fit, ImportFit::Fill);
        QCOMPARE(started.dither, ImportDither::Ordered);
        QVERIFY(prompts.messages.isEmpty());
    } else {
        QCOMPARE(prompts.messages, QStringList{QStringLiteral("Cannot read %1: not a picture in a format this "
                                                              "program reads")
                                                   .arg(path)});
    }
    if (ok) {
        QCOMPARE(picture->size(), importTargetSize(halfHeight));
        QCOMPARE(*picture, previewed);
    }
}

VOXCEL_TEST_MAIN(TestImportDialog)
#include "test_import_dialog.moc"
