// Drawing, picture files and Convert, driven through the real main window.
#include "app/canvas_view.h"
#include "support/test_main.h"
#include "support/window_fixture.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <unistd.h>

class TestWindowPicture : public QObject, private WindowFixture
{
    Q_OBJECT
private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void drawnDotConvertsToTheRightByte();
    void strokesAreContinuousAndTheLabelFollows();
    void pressAndReleasePaintsOneDotWithTheOldLabel();
    void eraseAndPenSize();
    void orientationOptionChangesTheOrder();
    void loadedPicturesConvertLikeTheCanvas_data();
    void loadedPicturesConvertLikeTheCanvas();
    void saveClearLoadGivesTheSameBytes();
    void unreadablePicturesLeaveTheCanvasAlone_data();
    void unreadablePicturesLeaveTheCanvasAlone();
    void cancelledPromptsDoNothing();
    void failedPictureSaveKeepsTheOldFile();

private:
    QStringList convertedItems()
    {
        click(Control::Convert);
        return outputText().split(QLatin1Char(','));
    }
};

void TestWindowPicture::drawnDotConvertsToTheRightByte()
{
    auto *view = find<CanvasView>(Control::Canvas);
    input::click(view, Qt::LeftButton, at(0, 0));
    input::click(view, Qt::RightButton, at(127, 63));
    const QStringList items = convertedItems();
    QCOMPARE(items.size(), 1024);
    QCOMPARE(items.first(), QStringLiteral("$01"));
    QCOMPARE(items.last(), QStringLiteral("$80"));
    QCOMPARE(items.count(QStringLiteral("$00")), 1022);
    const QString converted = outputText();
    click(Control::ClearText);
    click(Control::RestoreText); // Restore gives back what Convert wrote
    QCOMPARE(outputText(), converted);
    QVERIFY(find<QPushButton>(Control::SaveText)->isEnabled());
    QVERIFY(find<QPushButton>(Control::Reformat)->isEnabled());
}

void TestWindowPicture::strokesAreContinuousAndTheLabelFollows()
{
    auto *view = find<CanvasView>(Control::Canvas);
    auto *label = find<QLabel>(Control::CanvasPosition);
    input::press(view, Qt::LeftButton, at(10, 10));
    QVERIFY(label->isVisible());
    input::move(view, at(60, 10));
    QCOMPARE(label->text(), QStringLiteral("X:60 Y:10"));
    input::move(view, at(60, 40));
    // Outside the box the positions keep coming, negative ones included.
    input::move(view, QPoint(CanvasView::Border - 5, CanvasView::Border + 70));
    QCOMPARE(label->text(), QStringLiteral("X:-5 Y:70"));
    input::release(view, Qt::LeftButton, QPoint(CanvasView::Border - 5, CanvasView::Border + 70));
    QVERIFY(!label->isVisible());

    const Canvas &canvas = window->canvas();
    for (int x = 10; x <= 60; ++x)
        QVERIFY2(canvas.pixelIsSet(x, 10), qPrintable(QString::number(x)));
    for (int y = 10; y <= 40; ++y)
        QVERIFY(canvas.pixelIsSet(60, y));

    // Moving with no button held paints nothing and keeps the label's text.
    input::move(view, at(100, 50));
    QVERIFY(!canvas.pixelIsSet(100, 50));
    QCOMPARE(label->text(), QStringLiteral("X:-5 Y:70"));
}

void TestWindowPicture::pressAndReleasePaintsOneDotWithTheOldLabel()
{
    auto *view = find<CanvasView>(Control::Canvas);
    input::press(view, Qt::LeftButton, at(30, 20));
    QVERIFY(find<QLabel>(Control::CanvasPosition)->isVisible());
    QCOMPARE(find<QLabel>(Control::CanvasPosition)->text(), QStringLiteral("X,Y Position"));
    input::release(view, Qt::LeftButton, at(30, 20));
    int set = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            set += window->canvas().pixelIsSet(x, y);
    QCOMPARE(set, 1);
    QVERIFY(window->canvas().pixelIsSet(30, 20));
}

void TestWindowPicture::eraseAndPenSize()
{
    auto *view = find<CanvasView>(Control::Canvas);
    find<QComboBox>(Control::PenSize)->setCurrentIndex(5); // x10
    input::click(view, Qt::LeftButton, at(20, 20));
    QVERIFY(window->canvas().pixelIsSet(16, 20));
    click(Control::Erase);
    find<QComboBox>(Control::PenSize)->setCurrentIndex(0);
    input::click(view, Qt::LeftButton, at(20, 20));
    QVERIFY(!window->canvas().pixelIsSet(20, 20));
    QVERIFY(window->canvas().pixelIsSet(21, 20));
    click(Control::Draw);
    input::click(view, Qt::LeftButton, at(20, 20));
    QVERIFY(window->canvas().pixelIsSet(20, 20));
}

void TestWindowPicture::orientationOptionChangesTheOrder()
{
    input::click(find<CanvasView>(Control::Canvas), Qt::LeftButton, at(0, 8));
    QCOMPARE(convertedItems().indexOf(QStringLiteral("$01")), 128);
    input::click(find<QRadioButton>(Control::Horizontal));
    QCOMPARE(convertedItems().indexOf(QStringLiteral("$01")), 1);
    input::click(find<QRadioButton>(Control::Vertical));
    QCOMPARE(convertedItems().indexOf(QStringLiteral("$01")), 128);
}

void TestWindowPicture::loadedPicturesConvertLikeTheCanvas_data()
{
    QTest::addColumn<QImage::Format>("format");
    QTest::addColumn<QSize>("size");
    QTest::newRow("1-bit 128x64") << QImage::Format_Mono << QSize(128, 64);
    QTest::newRow("24-bit 128x64") << QImage::Format_RGB888 << QSize(128, 64);
    QTest::newRow("8-bit 64x32") << QImage::Format_Indexed8 << QSize(64, 32);
    QTest::newRow("32-bit 256x128") << QImage::Format_RGB32 << QSize(256, 128);
}

void TestWindowPicture::loadedPicturesConvertLikeTheCanvas()
{
    QFETCH(QImage::Format, format);
    QFETCH(QSize, size);
    // A diagonal line, a dark grey dot (clear) and a dot beyond the canvas.
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int i = 0; i < qMin(size.width(), size.height()); ++i)
        picture.setPixel(i, i, qRgb(0, 0, 0));
    if (format != QImage::Format_Mono)
        picture.setPixel(5, 0, qRgb(16, 16, 16));
    if (size.width() > 128)
        picture.setPixel(200, 3, qRgb(0, 0, 0));
    QImage stored = picture.convertToFormat(format, Qt::ThresholdDither);
    QVERIFY(stored.save(path("picture.bmp"), "BMP"));

    prompts->answers.enqueue(path("picture.bmp"));
    click(Control::LoadPicture);
    QVERIFY(prompts->messages.isEmpty());
    QCOMPARE(prompts->asked.first(), QStringLiteral("Load BMP Image|Enter File Name and Path|kat.bmp"));

    const int diagonal = std::min({size.width(), size.height(), 64});
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            QCOMPARE(window->canvas().pixelIsSet(x, y), x == y && x < diagonal);

    // Column x holds bit (x mod 8) in page x / 8 on the diagonal.
    const QStringList items = convertedItems();
    for (int x = 0; x < diagonal; ++x)
        QCOMPARE(items.at((x / 8) * 128 + x), QStringLiteral("$%1").arg(1 << (x % 8), 2, 16, QLatin1Char('0')));
}

void TestWindowPicture::saveClearLoadGivesTheSameBytes()
{
    auto *view = find<CanvasView>(Control::Canvas);
    find<QComboBox>(Control::PenSize)->setCurrentIndex(4);
    input::press(view, Qt::LeftButton, at(5, 5));
    input::move(view, at(120, 60));
    input::release(view, Qt::LeftButton, at(120, 60));
    const QString before = convertedItems().join(QLatin1Char(','));

    prompts->answers.enqueue(path("saved.bmp"));
    click(Control::SavePicture);
    QCOMPARE(prompts->asked.last(), QStringLiteral("Load BMP Image|Enter File Name and Path|test.bmp"));
    QVERIFY(prompts->messages.isEmpty());
    QFile saved(path("saved.bmp"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.read(2), QByteArray("BM"));
    saved.close();

    click(Control::ClearCanvas);
    QCOMPARE(convertedItems().count(QStringLiteral("$00")), 1024);
    prompts->answers.enqueue(path("saved.bmp"));
    click(Control::LoadPicture);
    QCOMPARE(convertedItems().join(QLatin1Char(',')), before);
}

void TestWindowPicture::unreadablePicturesLeaveTheCanvasAlone_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: the name is not created
    QTest::addColumn<QString>("name");

    QTest::newRow("missing file") << QByteArray() << "missing.bmp";
    QTest::newRow("missing folder") << QByteArray() << "no/such/folder/kat.bmp";
    QTest::newRow("a folder") << QByteArray() << ".";
    QTest::newRow("text named .bmp") << QByteArray("not a picture at all\n") << "text.bmp";

    // A header claiming 100000 x 100000 24-bit pixels, with almost no data.
    QByteArray huge(54, '\0');
    huge[0] = 'B';
    huge[1] = 'M';
    qToLittleEndian<quint32>(54 + 16, huge.data() + 2);
    qToLittleEndian<quint32>(54, huge.data() + 10);
    qToLittleEndian<quint32>(40, huge.data() + 14);
    qToLittleEndian<qint32>(100000, huge.data() + 18);
    qToLittleEndian<qint32>(100000, huge.data() + 22);
    qToLittleEndian<quint16>(1, huge.data() + 26);
    qToLittleEndian<quint16>(24, huge.data() + 28);
    huge += QByteArray(16, '\xff');
    QTest::newRow("header claims 100000x100000") << huge << "huge.bmp";

    QImage good(128, 64, QImage::Format_RGB32);
    good.fill(Qt::black);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    good.save(&buffer, "BMP");
    QTest::newRow("truncated BMP") << bytes.left(bytes.size() / 3) << "truncated.bmp";
    QTest::newRow("header only") << bytes.left(30) << "header.bmp";
}

void TestWindowPicture::unreadablePicturesLeaveTheCanvasAlone()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, name);
    QDir::setCurrent(dir->path());
    if (!content.isEmpty()) {
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    input::click(find<CanvasView>(Control::Canvas), Qt::LeftButton, at(3, 4));
    const QImage before = window->canvas().canvasImage();

    prompts->answers.enqueue(name);
    click(Control::LoadPicture);
    QCOMPARE(prompts->messages, QStringList({"File Not Found, make sure the path is correct."}));
    QCOMPARE(window->canvas().canvasImage(), before);
}

void TestWindowPicture::cancelledPromptsDoNothing()
{
    QDir::setCurrent(dir->path());
    input::click(find<CanvasView>(Control::Canvas), Qt::LeftButton, at(3, 4));
    const QImage before = window->canvas().canvasImage();
    prompts->answers << QString() << QString();
    click(Control::LoadPicture);
    click(Control::SavePicture);
    QVERIFY(prompts->messages.isEmpty());
    QCOMPARE(window->canvas().canvasImage(), before);
    QVERIFY(QDir(dir->path()).entryList(QDir::Files).isEmpty());
}

void TestWindowPicture::failedPictureSaveKeepsTheOldFile()
{
    prompts->answers.enqueue(path("no/such/folder/test.bmp"));
    click(Control::SavePicture);
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY(prompts->messages.first().startsWith(QStringLiteral("File Save Error - ")));
    QVERIFY(prompts->messages.first().size() > 18);

    if (geteuid() == 0)
        QSKIP("root writes through read-only files");
    QFile old(path("old.bmp"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old content");
    old.close();
    old.setPermissions(QFileDevice::ReadOwner);
    prompts->answers.enqueue(path("old.bmp"));
    click(Control::SavePicture);
    QCOMPARE(prompts->messages.size(), 2);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old content"));
}

VOXCEL_TEST_MAIN(TestWindowPicture)
#include "test_window_picture.moc"
