// The picture document's changed flag: what marks the picture changed,
// what counts as loaded, saved or kept, and a keep once per change.
#include "app/picture_document.h"
#include "canvas/kept_pictures.h"
#include "support/test_main.h"

#include <QTemporaryDir>
#include <QtTest>

class TestPictureDocument : public QObject
{
    Q_OBJECT
private slots:
    void changedFlag_data();
    void changedFlag();
};

void TestPictureDocument::changedFlag_data()
{
    QTest::addColumn<QString>("steps"); // each action, then whether the picture is changed after it
    QTest::addColumn<int>("kept");
    QTest::addColumn<QString>("undoName"); // at the end
    QTest::newRow("Clear of a white canvas: no step, no change") << "clear:0" << 0 << "";
    QTest::newRow("saved, then undone: changed again, kept once") << "place:1 save:0 undo:1 keep:0 keep:0" << 1 << "";
    QTest::newRow("kept, then undone and redone: kept a second time")
        << "place:1 keep:0 undo:1 redo:1 keep:0 keep:0" << 2 << "Import";
    QTest::newRow("loaded: unchanged until undone") << "place:1 load:0 undo:1 redo:1" << 0 << "Load";
    QTest::newRow("a load that fails changes nothing") << "place:1 save:0 missing:0" << 0 << "Import";
}

void TestPictureDocument::changedFlag()
{
    QFETCH(QString, steps);
    QFETCH(int, kept);
    QFETCH(QString, undoName);
    QTemporaryDir dir;
    QImage dot(8, 8, QImage::Format_RGB32);
    dot.fill(Qt::white);
    dot.setPixel(2, 3, qRgb(0, 0, 0));
    QImage bar = dot;
    bar.fill(Qt::black);
    QVERIFY(bar.save(dir.filePath(QStringLiteral("bar.bmp"))));
    const QString folder = dir.filePath(QStringLiteral("kept"));

    PictureDocument picture;
    QString seen;
    for (const QString &step : steps.split(u' ')) {
        const QString action = step.section(u':', 0, 0);
        if (action == u"place")
            picture.place(dot, QStringLiteral("Import"));
        else if (action == u"clear")
            picture.clear();
        else if (action == u"save")
            QCOMPARE(picture.save(dir.filePath(QStringLiteral("saved.bmp"))), QString());
        else if (action == u"load")
            QVERIFY(picture.load(dir.filePath(QStringLiteral("bar.bmp"))));
        else if (action == u"missing")
            QVERIFY(!picture.load(dir.filePath(QStringLiteral("none.bmp"))));
        else if (action == u"undo")
            picture.undo();
        else if (action == u"redo")
            picture.redo();
        else if (action == u"keep")
            QCOMPARE(picture.keepIfChanged(folder), QString());
        seen += (seen.isEmpty() ? "" : " ") + action + u':' + QString::number(picture.isChanged());
    }
    QCOMPARE(seen, steps);
    QCOMPARE(KeptPictures(folder).list().size(), kept);
    QCOMPARE(picture.undoText(), undoName);
}

VOXCEL_TEST_GUILESS_MAIN(TestPictureDocument)
#include "test_picture_document.moc"
