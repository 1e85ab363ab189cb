// The Import Picture dialog, driven by objectName offscreen as a user or an
// automation script would.
#include "app/import_dialog.h"
#include "support/controls.h"
#include "support/scripted_prompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

// Grey ramp across, a black disc and a light band: something for every fit,
// threshold and dither to change.
QImage samplePicture()
{
    QImage picture(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 255 / 299, x * 255 / 299, 200));
    QPainter painter(&picture);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QPoint(150, 100), 60, 60);
    painter.fillRect(0, 170, 300, 20, QColor(230, 230, 230));
    return picture;
}

// Presses a button of whatever modal dialog is up once the event loop runs,
// and records whether one was.
struct ModalAnswer
{
    explicit ModalAnswer(const char *buttonName, std::function<void(QWidget *)> before = {})
    {
        QTimer::singleShot(0, [this, buttonName, before] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            shown = dialog->objectName();
            if (before)
                before(dialog);
            clickButton(dialog, buttonName);
        });
    }
    QString shown;
};

} // namespace

class TestImportDialog : public QObject
{
    Q_OBJECT
private slots:
    void startsWithNamedControlsAtDefaults_data();
    void startsWithNamedControlsAtDefaults();
    void previewIsThePictureOkGives_data();
    void previewIsThePictureOkGives();
    void automaticThresholdDisablesTheSlider();
    void okGivesThePictureAndCancelNothing();
    void badFileGivesMessageAndNoDialog();
    void rememberedOptionsStartTheDialogAndAreKeptOnOk();
};

void TestImportDialog::startsWithNamedControlsAtDefaults_data()
{
    QTest::addColumn<bool>("halfHeight");
    QTest::newRow("128x64") << false;
    QTest::newRow("128x32") << true;
}

void TestImportDialog::startsWithNamedControlsAtDefaults()
{
    QFETCH(bool, halfHeight);
    const QSize target = importTargetSize(halfHeight);
    ImportDialog dialog(PictureImport(samplePicture(), target));
    QCOMPARE(dialog.objectName(), QStringLiteral("frmImport"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Import Picture"));
    QVERIFY(dialog.isModal());

    const auto *fit = control<QComboBox>(&dialog, "importFit");
    const QStringList fits{"Fit", "Fill", "Stretch", "Original size"};
    QCOMPARE(fit->count(), fits.size());
    for (int i = 0; i < fits.size(); ++i)
        QCOMPARE(fit->itemText(i), fits[i]);
    QCOMPARE(fit->currentIndex(), 0);
    const auto *dither = control<QComboBox>(&dialog, "importDither");
    const QStringList dithers{"None", "Floyd-Steinberg", "Atkinson", "Ordered"};
    QCOMPARE(dither->count(), dithers.size());
    for (int i = 0; i < dithers.size(); ++i)
        QCOMPARE(dither->itemText(i), dithers[i]);
    QCOMPARE(dither->currentIndex(), 0);
    QVERIFY(control<QCheckBox>(&dialog, "importAuto")->isChecked());
    QCOMPARE(control<QCheckBox>(&dialog, "importAuto")->text().remove('&'), QStringLiteral("Automatic threshold"));
    QVERIFY(!control<QSlider>(&dialog, "importThreshold")->isEnabled());
    QVERIFY(!control<QCheckBox>(&dialog, "importInvert")->isChecked());
    QCOMPARE(control<QCheckBox>(&dialog, "importInvert")->text().remove('&'), QStringLiteral("Invert"));
    control<QPushButton>(&dialog, "importOk");
    control<QPushButton>(&dialog, "importCancel");

    const auto *preview = control<ImportPreview>(&dialog, "importPreview");
    QCOMPARE(preview->size(), target * 3 + QSize(2, 2));
    QCOMPARE(preview->picture().size(), target);
    QCOMPARE(dialog.options(), [&] {
        ImportOptions o;
        o.threshold = dialog.options().threshold; // the one found
        return o;
    }());
}

void TestImportDialog::previewIsThePictureOkGives_data()
{
    QTest::addColumn<bool>("halfHeight");
    QTest::addColumn<int>("fit");
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<int>("dither");
    QTest::addColumn<bool>("invert");
    QTest::newRow("defaults") << false << 0 << true << 0 << 0 << false;
    QTest::newRow("fill, Floyd-Steinberg") << false << 1 << true << 0 << 1 << false;
    QTest::newRow("stretch, threshold 60, inverted") << false << 2 << false << 60 << 0 << true;
    QTest::newRow("original size, Atkinson") << false << 3 << true << 0 << 2 << false;
    QTest::newRow("fit, ordered, threshold 200") << false << 0 << false << 200 << 3 << false;
    QTest::newRow("128x32 fit, ordered, inverted") << true << 0 << true << 0 << 3 << true;
    QTest::newRow("128x32 fill, threshold 128") << true << 1 << false << 128 << 0 << false;
    QTest::newRow("128x32 original size, Floyd-Steinberg") << true << 3 << true << 0 << 1 << false;
}

void TestImportDialog::previewIsThePictureOkGives()
{
    QFETCH(bool, halfHeight);
    QFETCH(int, fit);
    QFETCH(bool, automatic);
    QFETCH(int, threshold);
    QFETCH(int, dither);
    QFETCH(bool, invert);
    const QSize target = importTargetSize(halfHeight);
    ImportDialog dialog(PictureImport(samplePicture(), target));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    control<QComboBox>(&dialog, "importFit")->setCurrentIndex(fit);
    control<QCheckBox>(&dialog, "importAuto")->setChecked(automatic);
    if (!automatic)
        control<QSlider>(&dialog, "importThreshold")->setValue(threshold);
    control<QComboBox>(&dialog, "importDither")->setCurrentIndex(dither);
    control<QCheckBox>(&dialog, "importInvert")->setChecked(invert);

    // The same options through the pipeline alone.
    ImportOptions wanted;
    wanted.fit = static_cast<ImportFit>(fit);
    wanted.autoThreshold = automatic;
    wanted.threshold = threshold;
    wanted.dither = static_cast<ImportDither>(dither);
    wanted.invert = invert;
    PictureImport alone(samplePicture(), target);
    alone.setOptions(wanted);

    auto *preview = control<ImportPreview>(&dialog, "importPreview");
    QCOMPARE(dialog.picture(), alone.picture());
    QCOMPARE(preview->picture(), alone.picture());
    QCOMPARE(control<QLabel>(&dialog, "importThresholdValue")->text(), QString::number(alone.threshold()));

    // On screen: each dot a 3 x 3 square in its colour.
    const QImage shown = preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage &dots = alone.picture();
    for (int y = 0; y < dots.height(); ++y) {
        for (int x = 0; x < dots.width(); ++x) {
            const QRgb dot = dots.pixel(x, y);
            for (int k = 0; k < 9; ++k)
                QCOMPARE(shown.pixel(ImportPreview::Border + 3 * x + k % 3, ImportPreview::Border + 3 * y + k / 3),
                         dot);
        }
    }
}

void TestImportDialog::automaticThresholdDisablesTheSlider()
{
    ImportDialog dialog(PictureImport(samplePicture(), importTargetSize(false)));
    auto *automatic = control<QCheckBox>(&dialog, "importAuto");
    auto *slider = control<QSlider>(&dialog, "importThreshold");
    auto *fit = control<QComboBox>(&dialog, "importFit");
    const auto *preview = control<ImportPreview>(&dialog, "importPreview");

    // The slider follows the threshold found, also when the fit changes what is shown.
    QVERIFY(!slider->isEnabled());
    const int found = slider->value();
    QCOMPARE(found, otsuThreshold(PictureImport(samplePicture(), importTargetSize(false)).scaled().grey,
                                  PictureImport(samplePicture(), importTargetSize(false)).scaled().content));
    fit->setCurrentIndex(3);
    QVERIFY(slider->value() != found);
    fit->setCurrentIndex(0);
    QCOMPARE(slider->value(), found);

    // Off: the slider is free and starts where the automatic one was.
    const QImage before = preview->picture();
    automatic->setChecked(false);
    QVERIFY(slider->isEnabled());
    QCOMPARE(preview->picture(), before);
    slider->setValue(found + 60);
    QVERIFY(preview->picture() != before);
    QCOMPARE(dialog.options().threshold, found + 60);
    QVERIFY(!dialog.options().autoThreshold);

    // On again: disabled, back to the threshold found.
    automatic->setChecked(true);
    QVERIFY(!slider->isEnabled());
    QCOMPARE(slider->value(), found);
    QCOMPARE(preview->picture(), before);
}

void TestImportDialog::okGivesThePictureAndCancelNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sample.png"));
    QVERIFY(samplePicture().save(path));
    ScriptedPrompts prompts;

    for (bool halfHeight : {false, true}) {
        QImage previewed;
        ModalAnswer ok("importOk", [&](QWidget *dialog) {
            control<QComboBox>(dialog, "importDither")->setCurrentIndex(1);
            previewed = control<ImportPreview>(dialog, "importPreview")->picture();
        });
        const std::optional<QImage> picture = ImportDialog::run(nullptr, prompts, path, halfHeight);
        QCOMPARE(ok.shown, QStringLiteral("frmImport"));
        QVERIFY(picture);
        QCOMPARE(picture->size(), importTargetSize(halfHeight));
        QCOMPARE(*picture, previewed);

        ModalAnswer cancel("importCancel");
        QVERIFY(!ImportDialog::run(nullptr, prompts, path, halfHeight));
        QCOMPARE(cancel.shown, QStringLiteral("frmImport"));
    }
    QVERIFY(prompts.messages.isEmpty());
}

void TestImportDialog::badFileGivesMessageAndNoDialog()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.png"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a picture\n");
    file.close();
    ScriptedPrompts prompts;
    ImportOptions remembered;
    remembered.dither = ImportDither::Ordered;

    ModalAnswer none("importCancel");
    QVERIFY(!ImportDialog::run(nullptr, prompts, path, false, &remembered));
    QCoreApplication::processEvents();
    QCOMPARE(none.shown, QString());
    QCOMPARE(prompts.messages.size(), 1);
    QVERIFY2(prompts.messages[0].startsWith(QStringLiteral("Cannot read %1: ").arg(path)),
             qPrintable(prompts.messages[0]));
    QCOMPARE(remembered.dither, ImportDither::Ordered);
}

void TestImportDialog::rememberedOptionsStartTheDialogAndAreKeptOnOk()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sample.png"));
    QVERIFY(samplePicture().save(path));
    ScriptedPrompts prompts;
    ImportOptions remembered;
    remembered.fit = ImportFit::Fill;
    remembered.autoThreshold = false;
    remembered.threshold = 90;
    remembered.dither = ImportDither::Atkinson;
    remembered.invert = true;

    ImportOptions started;
    ModalAnswer cancel("importCancel", [&](QWidget *dialog) {
        started = static_cast<ImportDialog *>(dialog)->options();
        control<QCheckBox>(dialog, "importInvert")->setChecked(false);
    });
    QVERIFY(!ImportDialog::run(nullptr, prompts, path, false, &remembered));
    QCOMPARE(started, remembered);
    QVERIFY(remembered.invert); // Cancel keeps what was remembered

    ModalAnswer ok("importOk", [](QWidget *dialog) {
        control<QCheckBox>(dialog, "importInvert")->setChecked(false);
        control<QComboBox>(dialog, "importFit")->setCurrentIndex(2);
    });
    QVERIFY(ImportDialog::run(nullptr, prompts, path, false, &remembered));
    QCOMPARE(remembered.fit, ImportFit::Stretch);
    QVERIFY(!remembered.invert);
    QCOMPARE(remembered.threshold, 90);
}

QTEST_MAIN(TestImportDialog)
#include "test_import_dialog.moc"
