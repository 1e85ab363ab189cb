// What a desktop user expects around the window's own controls: tooltips,
// the pen's mode shown, the Edit menu, dropped files, recent pictures, and
// the picture kept at Exit and recovered.
#include "app/recent_pictures.h"
#include "canvas/kept_pictures.h"
#include "support/test_main.h"
#include "support/window_fixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <sys/stat.h>

class TestWindowDesktop : public QObject, private WindowFixture
{
    Q_OBJECT
private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void everyVisibleControlHasATooltip();
    void penModeShowsWhatTheLeftButtonDoes();
    void editMenuUndoesByName();
    void dropsGoWhereTheyLand_data();
    void dropsGoWhereTheyLand();
    void keptPicturesAreTheNewestFive();
    void recentPicturesAreOffered();
    // Last: once Exit has asked the application to quit, no dialog of this
    // process opens again.
    void exitKeepsOnlyAChangedPicture_data();
    void exitKeepsOnlyAChangedPicture();

private:
    void trigger(const char *name) { find<QAction>(name)->trigger(); }
    // Drags the file over the window and drops it on the control, through
    // the window as the system delivers it.
    void drop(const QString &fileName, QWidget *onto)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(fileName)});
        const QPointF at = input::at(onto, {});
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window->windowHandle(), &enter);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window->windowHandle(), &dropped);
    }
    // Acts on the modal dialog that opens next.
    static void onNextDialog(const std::function<void(QDialog *)> &act)
    {
        QTimer::singleShot(50, [act] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                act(dialog);
        });
    }
    QString keptFolder() const { return path(QStringLiteral("data/test_window_desktop/kept pictures")); }
    QImage picture() const { return window->canvas().canvasImage(); }
};

void TestWindowDesktop::everyVisibleControlHasATooltip()
{
    for (QWidget *w : window->findChildren<QWidget *>()) {
        const bool control = qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w) ||
                             qobject_cast<QPlainTextEdit *>(w) || qobject_cast<QAbstractItemView *>(w) ||
                             qobject_cast<QComboBox *>(w) || qobject_cast<CanvasView *>(w);
        if (control && w->isVisible() && !w->objectName().isEmpty() && !w->objectName().startsWith(u"qt_") &&
            !w->objectName().startsWith(u"scroll"))
            QVERIFY2(!w->toolTip().isEmpty(), qPrintable(w->objectName()));
    }
}

void TestWindowDesktop::penModeShowsWhatTheLeftButtonDoes()
{
    auto *draw = find<QPushButton>(Control::Draw);
    auto *erase = find<QPushButton>(Control::Erase);
    QVERIFY(draw->isChecked() && !erase->isChecked());
    click(Control::Erase);
    click(Control::Erase); // stays the one checked
    QVERIFY(!draw->isChecked() && erase->isChecked());
    input::click(find<CanvasView>(Control::Canvas), Qt::LeftButton, at(9, 9));
    QVERIFY(!window->canvas().pixelIsSet(9, 9) && window->canvas().drawColour() == Canvas::White);
}

void TestWindowDesktop::editMenuUndoesByName()
{
    input::click(find<CanvasView>(Control::Canvas), Qt::LeftButton, at(9, 9));
    const QImage drawn = picture();
    click(Control::ClearCanvas);
    QCOMPARE(find<QAction>("mnuUndo")->text(), QStringLiteral("&Undo Clear\tCtrl+Z"));
    find<QLineEdit>(Control::Header)->setFocus(); // the menu undoes the picture wherever the focus is
    trigger("mnuUndo");
    QCOMPARE(picture(), drawn);
    QCOMPARE(find<QAction>("mnuRedo")->text(), QStringLiteral("&Redo Clear\tCtrl+Y"));
}

void TestWindowDesktop::dropsGoWhereTheyLand_data()
{
    QTest::addColumn<QString>("onto");
    QTest::addColumn<QString>("file"); // a BMP, a text, or a FIFO
    QTest::addColumn<QString>("message");
    QTest::newRow("picture on the canvas") << controlName(Control::Canvas) << "bmp"
                                           << "";
    QTest::newRow("text on the text window") << controlName(Control::OutputText) << "txt"
                                             << "";
    QTest::newRow("picture elsewhere") << controlName(Control::OutputFormat) << "bmp"
                                       << "";
    QTest::newRow("FIFO on the canvas") << controlName(Control::Canvas) << "fifo"
                                        << "File Not Found, make sure the path is correct.";
    QTest::newRow("FIFO on the text window") << controlName(Control::OutputText) << "fifo"
                                             << "File Open Error - ";
    QTest::newRow("FIFO elsewhere") << controlName(Control::OutputFormat) << "fifo"
                                    << "Cannot read ";
}

void TestWindowDesktop::dropsGoWhereTheyLand()
{
    QFETCH(QString, onto);
    QFETCH(QString, file);
    QFETCH(QString, message);
    const QString name = path(QStringLiteral("dot.") + file);
    QImage dot(128, 64, QImage::Format_RGB32);
    dot.fill(Qt::white);
    dot.setPixel(3, 4, qRgb(0, 0, 0));
    QFile text(name);
    QVERIFY(file == QLatin1String("bmp")   ? dot.save(name)
            : file == QLatin1String("txt") ? text.open(QIODevice::WriteOnly) && text.write("$01,$80") == 7
                                           : ::mkfifo(QFile::encodeName(name).constData(), 0600) == 0);
    text.close();

    QString dialog;
    const bool importing = onto == QLatin1String(controlName(Control::OutputFormat)) && message.isEmpty();
    if (importing)
        onNextDialog([&dialog](QDialog *shown) {
            dialog = shown->objectName();
            shown->accept();
        });
    drop(name, find<QWidget>(onto.toLatin1().constData()));
    if (!message.isEmpty()) {
        QTRY_COMPARE(prompts->messages.size(), 1);
        QVERIFY2(prompts->messages.first().startsWith(message), qPrintable(prompts->messages.first()));
    } else if (onto == QLatin1String(controlName(Control::OutputText))) {
        QTRY_COMPARE(outputText(), QStringLiteral("$01,$80"));
    } else {
        QTRY_VERIFY(window->canvas().pixelIsSet(3, 4));
        QCOMPARE(dialog, importing ? QStringLiteral("frmImport") : QString());
    }
}

void TestWindowDesktop::exitKeepsOnlyAChangedPicture_data()
{
    QTest::addColumn<QString>("before"); // what the user did before Exit
    QTest::addColumn<int>("kept");
    QTest::newRow("unchanged") << "" << 0;
    QTest::newRow("drawn") << "draw" << 1;
    QTest::newRow("drawn, then converted") << "draw convert" << 1;
    QTest::newRow("drawn, folder not writable") << "draw block" << 0;
}

void TestWindowDesktop::exitKeepsOnlyAChangedPicture()
{
    QFETCH(QString, before);
    QFETCH(int, kept);
    if (before.contains(u"draw"))
        input::click(find<CanvasView>(Control::Canvas), Qt::LeftButton, at(20, 10));
    if (before.contains(u"convert"))
        click(Control::Convert);
    QFile blocker(keptFolder()); // a file where the folder would go
    QVERIFY(!before.contains(u"block") ||
            (QDir().mkpath(path("data/test_window_desktop")) && blocker.open(QIODevice::WriteOnly)));
    const QImage drawn = picture();
    trigger("mnuExit");
    QVERIFY(prompts->messages.isEmpty());
    QCOMPARE(KeptPictures(keptFolder()).list().size(), kept);
    if (before.contains(u"block")) { // the next start says why, in a note that asks nothing
        delete window;
        (window = new MainWindow(*prompts, *session))->show();
        QTRY_VERIFY(window->findChild<QMessageBox *>(QStringLiteral("notKeptNote")));
        QVERIFY(window->findChild<QMessageBox *>(QStringLiteral("notKeptNote"))->text().contains(u"not a folder"));
    }
    if (kept == 0)
        return;
    // Recover Picture lists it small, and a damaged one with its reason; it puts it back, as an undo step.
    QFile damaged(QDir(keptFolder()).filePath(QStringLiteral("kept-000000-20261207T120000Z.bmp")));
    QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write("BM not a picture") > 0);
    damaged.close();
    click(Control::ClearCanvas);
    prompts->chosen.enqueue(0);
    trigger("mnuRecover");
    QCOMPARE(picture(), drawn);
    const QList<PictureEntry> listed = prompts->pictureChoices.value(0);
    QCOMPARE(listed.size(), 2);
    QCOMPARE(listed.at(0).thumbnail.convertToFormat(QImage::Format_RGB32),
             KeptPictures::thumbnail(drawn).convertToFormat(QImage::Format_RGB32));
    QVERIFY(listed.at(1).thumbnail.isNull() && listed.at(1).problem.contains(u"damaged"));
    trigger("mnuUndo");
    QVERIFY(!window->canvas().pixelIsSet(20, 10));
}

void TestWindowDesktop::keptPicturesAreTheNewestFive()
{
    const QDateTime start(QDate(2026, 12, 7), QTime(9, 0));
    int i = 0;
    const KeptPictures kept(path("kept"), [&] { return start.addSecs(i); });
    QImage picture(128, 64, QImage::Format_RGB32);
    for (; i < 7; ++i) {
        picture.fill(qRgb(i, i, i));
        QVERIFY(kept.keep(picture).isEmpty());
    }
    const QList<KeptPictures::Entry> entries = kept.list();
    QCOMPARE(entries.size(), 5);
    QCOMPARE(entries.first().when, start.addSecs(6));
    QCOMPARE(entries.last().when, start.addSecs(2));
}

void TestWindowDesktop::recentPicturesAreOffered()
{
    // The newest first, 8 at most, the ones gone since left out, and the
    // picture being imported first of all.
    for (int i = 0; i < 10; ++i) {
        QImage(8, 8, QImage::Format_RGB32).save(path(QStringLiteral("p%1.png").arg(i)));
        RecentPictures().add(path(QStringLiteral("p%1.png").arg(i)));
    }
    QFile::remove(path("p8.png"));
    QStringList offered;
    onNextDialog([&offered](QDialog *dialog) {
        auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("importRecent"));
        for (int i = 0; i < combo->count(); ++i)
            offered << combo->itemText(i);
        dialog->reject();
    });
    prompts->fileNames.enqueue(path("p3.png"));
    trigger("mnuImport");
    QCOMPARE(offered, QStringList({"p3.png", "p9.png", "p7.png", "p6.png", "p5.png", "p4.png", "p2.png"}));
}

VOXCEL_TEST_MAIN(TestWindowDesktop)
#include "test_window_desktop.moc"
