// The LCD View wired to the main window: one picture, one undo history; on a
// 1366 x 768 screen, where it opens beside the main window.
#include "app/picture_document.h"
#include "app/picture_panel.h"
#include "app/quit_signals.h"
#include "canvas/kept_pictures.h"
#include "canvas/lcd_text.h"
#include "support/test_main.h"
#include "support/window_fixture.h"

#include <QLineEdit>
#include <QScreen>
#include <QSpinBox>

class TestWindowLcdView : public QObject, private WindowFixture
{
    Q_OBJECT
private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void shapesAndTextShareTheUndoHistory();
    void opensBesideAndZoomsAroundThePointer();
    void saysWhyEditingWaitsDuringASend();
    void placedTextIsKeptOnCloseAndOnSigterm(); // last: it ends the program as Exit does

private:
    QWidget *openLcdView()
    {
        QTest::keySequence(window->windowHandle(), QKeySequence(Qt::CTRL | Qt::Key_L));
        auto *view = find<QWidget>("frmLcdView");
        QApplication::setActiveWindow(view);
        if (!QTest::qWaitForWindowActive(view))
            qFatal("the LCD View is not shown");
        return view;
    }
    // The middle of a dot in the enlarged canvas.
    QPoint dot(int x, int y) const
    {
        const int zoom = find<QSpinBox>("lcdZoom")->value();
        return {x * zoom + zoom / 2, y * zoom + zoom / 2};
    }
    bool isSet(int x, int y) const { return window->canvas().pixelIsSet(x, y); }
};

void TestWindowLcdView::shapesAndTextShareTheUndoHistory()
{
    QWidget *view = openLcdView();
    auto *canvas = find<QWidget>("lcdCanvas");
    input::key(view, Qt::Key_R); // the rectangle
    input::press(canvas, Qt::LeftButton, dot(2, 2));
    input::move(canvas, dot(6, 4));
    QVERIFY(!isSet(2, 2)); // a shape shows only in the LCD View until it is finished
    input::move(canvas, dot(10, 6));
    input::release(canvas, Qt::LeftButton, dot(10, 6));
    QVERIFY(isSet(2, 2) && isSet(10, 6) && !isSet(5, 4));
    const QImage rectangle = window->canvas().canvasImage();
    const QRgb lit = canvas->grab().toImage().pixel(dot(2, 2));

    QApplication::setActiveWindow(window);
    QTest::keySequence(window->windowHandle(), QKeySequence::Undo);
    QVERIFY(!isSet(2, 2));
    QVERIFY(canvas->grab().toImage().pixel(dot(2, 2)) != lit); // shown live

    QApplication::setActiveWindow(view);
    QTest::keySequence(view->windowHandle(), QKeySequence(Qt::CTRL | Qt::Key_Y));
    QCOMPARE(window->canvas().canvasImage(), rectangle);

    // Text: placed with a click, one dot right with the arrow key, kept with Enter.
    input::type(find<QLineEdit>("lcdText"), QStringLiteral("Hi"));
    clickButton(view, "lcdTool_6");
    input::click(canvas, Qt::LeftButton, dot(20, 20));
    input::key(view, Qt::Key_Right);
    QCOMPARE(window->canvas().canvasImage(), rectangle);
    input::key(view, Qt::Key_Return);
    Canvas expected;
    expected.placePicture(rectangle);
    drawLcdText(expected, QStringLiteral("Hi"), LcdTextStyle(), {21, 20}, Canvas::Black);
    QCOMPARE(window->canvas().canvasImage(), expected.canvasImage());

    // The right button erases: the pen takes a dot of the rectangle away.
    input::key(view, Qt::Key_P);
    input::click(canvas, Qt::RightButton, dot(2, 2));
    QVERIFY(!isSet(2, 2));
    QTest::keySequence(view->windowHandle(), QKeySequence::Undo);
    QTest::keySequence(view->windowHandle(), QKeySequence::Undo);
    QCOMPARE(window->canvas().canvasImage(), rectangle);
}

void TestWindowLcdView::placedTextIsKeptOnCloseAndOnSigterm()
{
    QWidget *view = openLcdView();
    auto *canvas = find<QWidget>("lcdCanvas");
    input::type(find<QLineEdit>("lcdText"), QStringLiteral("I"));
    clickButton(view, "lcdTool_6");
    input::click(canvas, Qt::LeftButton, dot(10, 10));
    input::key(view, Qt::Key_L); // another tool finishes it
    QVERIFY(isSet(12, 10));
    input::key(view, Qt::Key_T);
    input::click(canvas, Qt::LeftButton, dot(40, 40)); // so does the end of the program
    const QuitSignals quitSignals;
    window->endOnQuitSignals(quitSignals);
    std::raise(SIGTERM);
    const QString folder = path(QStringLiteral("data/test_window_lcd_view/kept pictures"));
    QTRY_COMPARE(KeptPictures(folder).list().size(), 1);
    const QImage kept = *KeptPictures::read(KeptPictures(folder).list().first().path).picture;
    QVERIFY(kept.pixel(12, 10) == qRgb(0, 0, 0) && kept.pixel(42, 40) == qRgb(0, 0, 0));
    input::click(canvas, Qt::LeftButton, dot(20, 20)); // and closing the view
    view->close();
    QVERIFY(isSet(22, 20));
}

void TestWindowLcdView::opensBesideAndZoomsAroundThePointer()
{
    QCOMPARE(window->screen()->size(), QSize(1366, 768));
    QWidget *view = openLcdView();
    QVERIFY(!view->frameGeometry().intersects(window->frameGeometry()) &&
            window->screen()->availableGeometry().contains(view->frameGeometry()));
    // Ctrl+wheel keeps the dot under the pointer; parts of a notch add up.
    auto *canvas = find<QWidget>("lcdCanvas");
    auto *zoom = find<QSpinBox>("lcdZoom");
    const int start = zoom->value();
    const QPoint pointer = canvas->mapTo(view, dot(100, 50));
    for (const auto &[angle, steps] : {std::pair{240, 2}, {60, 2}, {60, 3}, {-120, 2}, {-240, 0}}) {
        input::wheel(canvas, canvas->mapFrom(view, pointer), angle, Qt::ControlModifier);
        QCOMPARE(zoom->value(), start + steps);
        const QPoint at = canvas->mapFrom(view, pointer);
        QCOMPARE(QPoint(at.x() / zoom->value(), at.y() / zoom->value()), QPoint(100, 50));
    }
    input::wheel(canvas, canvas->mapFrom(view, pointer), 120);
    QCOMPARE(zoom->value(), start);
}

void TestWindowLcdView::saysWhyEditingWaitsDuringASend()
{
    openLcdView();
    auto *note = find<QLabel>("lcdHeldNote");
    auto *picture = window->findChild<PictureDocument *>();
    for (int send = 0; send < 2; ++send) {
        QVERIFY(!note->isVisible());
        picture->hold(true, HeldForSendText);
        QVERIFY(note->isVisible() && note->text().contains(u"waits for the send"));
        picture->hold(false);
    }
    QVERIFY(!note->isVisible());
}

// A laptop's screen, where the LCD View has little room beside the main window.
VOXCEL_TEST_RUN(TestWindowLcdView)
{
    QTemporaryFile screens;
    if (!screens.open() ||
        screens.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1366, "height": 768,)"
                      R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") < 0 ||
        !screens.flush())
        return 1;
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
    QApplication app(argc, argv);
    TestWindowLcdView test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_window_lcd_view.moc"
