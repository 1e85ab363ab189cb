// The LCD View wired to the main window: one picture, one undo history.
#include "app/quit_signals.h"
#include "canvas/kept_pictures.h"
#include "canvas/lcd_text.h"
#include "support/window_fixture.h"

#include <QLineEdit>
#include <QSpinBox>
#include <unistd.h>

class TestWindowLcdView : public QObject, private WindowFixture
{
    Q_OBJECT
private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void shapesAndTextShareTheUndoHistory();
    // Last: the signal ends the program as Exit does.
    void placedTextIsKeptOnCloseAndOnSigterm();

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
    // Types the text and places it with the Text tool, unfinished.
    QWidget *placeText(const QString &text, QPoint at)
    {
        if (!QTest::qWaitFor([this] { return !window->findChild<QWidget *>(QStringLiteral("frmLcdView")); }))
            qFatal("a closed LCD View has not gone");
        QApplication::setActiveWindow(window);
        QWidget *view = openLcdView();
        input::type(find<QLineEdit>("lcdText"), text);
        clickButton(view, "lcdTool_6");
        input::click(find<QWidget>("lcdCanvas"), Qt::LeftButton, dot(at.x(), at.y()));
        return view;
    }
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
    placeText(QStringLiteral("I"), {20, 20})->close();
    QVERIFY(isSet(22, 20));
    placeText(QStringLiteral("I"), {40, 40}); // a second view, the program ended by a signal
    QVERIFY(!isSet(42, 40));
    const QuitSignals quitSignals;
    window->endOnQuitSignals(quitSignals);
    ::kill(::getpid(), SIGTERM);
    const QString folder = path(QStringLiteral("data/test_window_lcd_view/kept pictures"));
    QTRY_COMPARE(KeptPictures(folder).list().size(), 1);
    Canvas kept;
    kept.placePicture(*KeptPictures::read(KeptPictures(folder).list().first().path).picture);
    QVERIFY(kept.pixelIsSet(22, 20) && kept.pixelIsSet(42, 40));
}

QTEST_MAIN(TestWindowLcdView)
#include "test_window_lcd_view.moc"
