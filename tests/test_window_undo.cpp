// Undo and redo of the picture, driven through the real main window.
#include "support/test_main.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>

class TestWindowUndo : public QObject, private WindowFixture
{
    Q_OBJECT
private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void everyChangeOfThePictureIsOneStep();
    void textBoxesKeepTheirOwnUndo();
    void manyStepsBack();
    void pictureFromTextRoundTrip_data();
    void pictureFromTextRoundTrip();

private:
    QImage picture() const { return window->canvas().canvasImage(); }
    void stroke(QPoint from, QPoint to)
    {
        auto *view = find<QWidget>(Control::Canvas);
        input::press(view, Qt::LeftButton, at(from.x(), from.y()));
        input::move(view, at((from.x() + to.x()) / 2, (from.y() + to.y()) / 2));
        input::move(view, at(to.x(), to.y()));
        input::release(view, Qt::LeftButton, at(to.x(), to.y()));
    }
    void key(QKeySequence keys) { QTest::keySequence(window->windowHandle(), keys); }
};

void TestWindowUndo::everyChangeOfThePictureIsOneStep()
{
    const QImage blank = picture();
    stroke({10, 10}, {60, 40});
    const QImage stroked = picture();
    QVERIFY(stroked != blank);
    find<QWidget>(Control::Convert)->setFocus(); // any control but a text box

    key(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(picture(), blank); // the whole stroke, not its last dot
    key(QKeySequence(Qt::CTRL | Qt::Key_Y));
    QCOMPARE(picture(), stroked);
    key(QKeySequence(Qt::CTRL | Qt::Key_Z));
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    QCOMPARE(picture(), stroked);

    click(Control::ClearCanvas); // Clear
    QCOMPARE(picture(), blank);
    key(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(picture(), stroked);

    QImage loaded(128, 64, QImage::Format_RGB32);
    loaded.fill(Qt::black);
    QVERIFY(loaded.save(path("black.bmp")));
    prompts->answers.enqueue(path("black.bmp"));
    click(Control::LoadPicture); // Load
    QCOMPARE(picture(), loaded);
    // The 128x32 view is not a change of the picture.
    click(Control::DisplaySize);
    click(Control::DisplaySize);
    key(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(picture(), stroked);
    key(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(picture(), blank);
}

void TestWindowUndo::textBoxesKeepTheirOwnUndo()
{
    stroke({5, 5}, {20, 20});
    const QImage stroked = picture();
    auto *header = find<QLineEdit>(Control::Header);
    header->setFocus();
    input::type(header, QStringLiteral("db "));
    key(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QVERIFY(header->text().size() < 3);
    QCOMPARE(picture(), stroked);
    key(QKeySequence(Qt::CTRL | Qt::Key_Y));
    QCOMPARE(picture(), stroked);
}

void TestWindowUndo::manyStepsBack()
{
    const QImage blank = picture();
    for (int i = 0; i < 120; ++i)
        input::click(find<QWidget>(Control::Canvas), Qt::LeftButton, at(i, i % 64));
    find<QWidget>(Control::Convert)->setFocus();
    for (int i = 0; i < 100; ++i)
        key(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QImage expected = blank;
    for (int i = 0; i < 20; ++i)
        expected.setPixel(i, i, qRgb(0, 0, 0));
    QCOMPARE(picture(), expected);
}

void TestWindowUndo::pictureFromTextRoundTrip_data()
{
    QTest::addColumn<QString>("order");
    QTest::addColumn<QStringList>("format"); // header, footer, format, delimiter
    QTest::newRow("start-up, vertical") << controlName(Control::Vertical) << QStringList{"", "", "$", ","};
    QTest::newRow("db 0x, horizontal") << controlName(Control::Horizontal) << QStringList{"db ", " ;end", "0x", ", "};
    QTest::newRow("bare digits, horizontal") << controlName(Control::Horizontal) << QStringList{"", "", "", ""};
}

void TestWindowUndo::pictureFromTextRoundTrip()
{
    QFETCH(QString, order);
    QFETCH(QStringList, format);
    const char *boxes[] = {controlName(Control::Header), controlName(Control::Footer), controlName(Control::Format),
                           controlName(Control::Delimiter)};
    for (int i = 0; i < 4; ++i)
        find<QLineEdit>(boxes[i])->setText(format.at(i));
    input::click(find<QWidget>(order.toLatin1().constData()));
    stroke({3, 7}, {120, 50});
    stroke({0, 63}, {127, 0});
    const QImage drawn = picture();
    click(Control::Convert);
    click(Control::ClearCanvas);
    QVERIFY(picture() != drawn);

    find<QAction>("mnuFromText")->trigger();
    QVERIFY(prompts->messages.isEmpty());
    QCOMPARE(picture(), drawn);
    find<QWidget>(Control::Convert)->setFocus();
    key(QKeySequence(Qt::CTRL | Qt::Key_Z)); // one step, as any change of the picture
    QVERIFY(picture() != drawn);

    // A text that is no picture changes nothing and says what it found.
    const QImage cleared = picture();
    find<QPlainTextEdit>(Control::OutputText)->setPlainText(QStringLiteral("$01,$02,$03"));
    find<QAction>("mnuFromText")->trigger();
    QCOMPARE(prompts->messages, QStringList({"Found 3 bytes; a picture needs 1024, or 512 for 128 x 32"}));
    QCOMPARE(picture(), cleared);
}

VOXCEL_TEST_MAIN(TestWindowUndo)
#include "test_window_undo.moc"
