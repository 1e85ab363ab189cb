// voxcel-convert against the real main window: the same picture and
// settings must give the same bytes, on stdout and in files, and the same
// refusals.
#include "cli/convert_help.h"
#include "cli/convert_options.h"
#include "support/cli_window.h"
#include "support/test_main.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QtTest>

#include <sys/stat.h>

namespace {

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class CliConvertTest : public QObject, private CliWindowFixture
{
    Q_OBJECT
private slots:
    void init() { openWindowWithPicture(); }
    void cleanup() { closeWindow(); }

    void convertMatchesTheWindow_data();
    void convertMatchesTheWindow();
    void reformatMatchesTheWindow_data();
    void reformatMatchesTheWindow();
    void reformatRefusesFormatOrDelimiterAsTheWindowDoes_data();
    void reformatRefusesFormatOrDelimiterAsTheWindowDoes();
    void severalPicturesOneFileEach();
    void usageErrorsWriteNothing_data();
    void usageErrorsWriteNothing();
    void failuresKeepOldFilesAndWriteNoPart_data();
    void failuresKeepOldFilesAndWriteNoPart();
    void drawingWithTextIsImported();
    void helpFitsEightyColumnsAndNamesEveryOption();
    void standardErrorHoldsOnlyOurMessages_data();
    void standardErrorHoldsOnlyOurMessages();
};

void CliConvertTest::convertMatchesTheWindow_data()
{
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<QStringList>("format"); // header, footer, format, delimiter; empty: start-up values

    const QStringList custom{QStringLiteral("  DB "), QStringLiteral(" END  "), QStringLiteral("0X"),
                             QStringLiteral(", ")};
    QTest::newRow("start-up settings") << false << QStringList();
    QTest::newRow("horizontal") << true << QStringList();
    QTest::newRow("custom, vertical") << false << custom;
    QTest::newRow("custom, horizontal") << true << custom;
    QTest::newRow("plain hex") << false << QStringList{QString(), QString(), QString(), QString()};
}

void CliConvertTest::convertMatchesTheWindow()
{
    QFETCH(bool, horizontal);
    QFETCH(QStringList, format);

    QStringList arguments{QStringLiteral("logo.bmp")};
    if (horizontal) {
        arguments << QStringLiteral("--order") << QStringLiteral("horizontal");
        QTest::mouseClick(find<QRadioButton>(Control::Horizontal), Qt::LeftButton);
    }
    if (!format.isEmpty()) {
        const char *boxes[] = {controlName(Control::Header), controlName(Control::Footer), controlName(Control::Format),
                               controlName(Control::Delimiter)};
        const QStringList options{QStringLiteral("--header"), QStringLiteral("--footer"), QStringLiteral("--format"),
                                  QStringLiteral("--delimiter")};
        for (int i = 0; i < 4; ++i) {
            find<QLineEdit>(boxes[i])->setText(format.at(i));
            arguments << options.at(i) << format.at(i);
        }
    }
    loadPictureIntoWindow();
    click(Control::Convert);
    const QString shown = outputText();
    QVERIFY(shown.size() >= 2048);

    const CliResult printed = runCli(arguments, dir->path());
    QCOMPARE(printed.exitCode, 0);
    QCOMPARE(printed.err, QByteArray());
    QCOMPARE(printed.out, shown.toLatin1() + '\n');

    // -o writes what the window's Save writes.
    prompts->answers.enqueue(path("window.inc"));
    click(Control::SaveText);
    const CliResult saved = runCli(arguments << QStringLiteral("-o") << QStringLiteral("cli.inc"), dir->path());
    QCOMPARE(saved.exitCode, 0);
    QCOMPARE(saved.out, QByteArray());
    QCOMPARE(fileBytes(path("cli.inc")), fileBytes(path("window.inc")));
    QVERIFY(fileBytes(path("cli.inc")).endsWith("\r\n"));
}

void CliConvertTest::reformatMatchesTheWindow_data()
{
    QTest::addColumn<int>("buffer");
    QTest::addColumn<QString>("wait");
    QTest::addColumn<int>("picDelay");
    QTest::addColumn<QString>("address"); // empty: the LCD
    QTest::addColumn<QStringList>("extra");

    QTest::newRow("start-up settings") << 32 << "]" << 10 << QString() << QStringList();
    QTest::newRow("empty format given") << 32 << "]" << 10 << QString()
                                        << QStringList{QStringLiteral("--format"), QString(),
                                                       QStringLiteral("--delimiter"), QString()};
    QTest::newRow("buffer 128, two wait chars") << 128 << "]]" << 100 << QString() << QStringList();
    QTest::newRow("buffer 2, no wait text") << 2 << "" << 5 << QString() << QStringList();
    QTest::newRow("eeprom 1024") << 16 << "]" << 5 << "1024" << QStringList();
    QTest::newRow("eeprom 1.5, delay 20") << 64 << "]" << 20 << "1.5" << QStringList();
}

void CliConvertTest::reformatMatchesTheWindow()
{
    QFETCH(int, buffer);
    QFETCH(QString, wait);
    QFETCH(int, picDelay);
    QFETCH(QString, address);
    QFETCH(QStringList, extra);

    const QString expected = windowTransmission(buffer, wait, picDelay, address);
    QVERIFY(expected.startsWith(QLatin1Char('*')));

    QStringList arguments{QStringLiteral("--reformat"),
                          QStringLiteral("--buffer"),
                          QString::number(buffer),
                          QStringLiteral("--wait"),
                          wait,
                          QStringLiteral("--pic-delay"),
                          QString::number(picDelay)};
    if (!address.isEmpty())
        arguments << QStringLiteral("--eeprom") << QStringLiteral("--address") << address;
    const CliResult result = runCli(arguments << extra << QStringLiteral("logo.bmp"), dir->path());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.out, expected.toLatin1() + '\n');
}

void CliConvertTest::reformatRefusesFormatOrDelimiterAsTheWindowDoes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("format") << QStringList{QStringLiteral("--format"), QStringLiteral("$")};
    QTest::newRow("delimiter") << QStringList{QStringLiteral("--delimiter"), QStringLiteral(",")};
    QTest::newRow("blank delimiter") << QStringList{QStringLiteral("--delimiter"), QStringLiteral(" ")};
}

void CliConvertTest::reformatRefusesFormatOrDelimiterAsTheWindowDoes()
{
    QFETCH(QStringList, arguments);
    loadPictureIntoWindow();
    click(Control::Convert);
    click(Control::Reformat);
    QCOMPARE(prompts->messages.size(), 1);
    // Printed with the window's LF CR made a plain line end.
    const QString message = prompts->messages.first().replace(QStringLiteral("\n\r"), QStringLiteral("\n"));

    const QStringList call = QStringList{QStringLiteral("--reformat"), QStringLiteral("-o"), QStringLiteral("x.inc")}
                             << arguments << QStringLiteral("logo.bmp");
    const CliResult result = runCli(call, dir->path());
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.contains(message.toLatin1()), result.err.constData());
    QVERIFY(!QFile::exists(path("x.inc")));
}

void CliConvertTest::severalPicturesOneFileEach()
{
    QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("pics/out")));
    QVERIFY(testPicture().mirrored().save(path("pics/b.v2.bmp"), "BMP"));
    QVERIFY(QFile::copy(path("logo.bmp"), path("pics/a.bmp")));
    const QByteArray a = runCli({QStringLiteral("pics/a.bmp")}, dir->path()).out;
    const QByteArray b = runCli({QStringLiteral("pics/b.v2.bmp")}, dir->path()).out;
    QVERIFY(a != b);

    // Into a folder, with the default suffix.
    const QStringList pictures{QStringLiteral("pics/a.bmp"), QStringLiteral("pics/b.v2.bmp")};
    CliResult result = runCli(QStringList{QStringLiteral("-o"), QStringLiteral("pics/out")} << pictures, dir->path());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(entries(path("pics/out")), (QStringList{QStringLiteral("a.inc"), QStringLiteral("b.v2.inc")}));
    QCOMPARE(fileBytes(path("pics/out/a.inc")), a.chopped(1) + "\r\n");
    QCOMPARE(fileBytes(path("pics/out/b.v2.inc")), b.chopped(1) + "\r\n");

    // Next to the pictures, with a suffix of one's own.
    result = runCli(QStringList{QStringLiteral("--suffix"), QStringLiteral(".asm")} << pictures, dir->path());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(fileBytes(path("pics/a.asm")), a.chopped(1) + "\r\n");
    QCOMPARE(fileBytes(path("pics/b.v2.asm")), b.chopped(1) + "\r\n");
}

void CliConvertTest::usageErrorsWriteNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    const QString logo = QStringLiteral("logo.bmp");
    const QString out = QStringLiteral("out.inc");
    const auto row = [&](const char *name, QStringList arguments, const QString &message) {
        QTest::newRow(name) << arguments << message;
    };
    const QString send = QStringLiteral("--send");
    const QString tty = QStringLiteral("/dev/null");
    row("no picture", {QStringLiteral("-o"), out}, QStringLiteral("no picture given"));
    row("unknown option", {QStringLiteral("--colour"), logo}, QStringLiteral("Unknown option 'colour'"));
    row("missing value", {logo, QStringLiteral("--format")}, QStringLiteral("Missing value after '--format'"));
    row("order", {QStringLiteral("--order"), QStringLiteral("diagonal"), QStringLiteral("-o"), out, logo},
        QStringLiteral("--order: \"diagonal\" is neither vertical nor horizontal"));
    for (const char *buffer : {"3", "256", "0", "32x"}) {
        QTest::addRow("buffer %s", buffer)
            << QStringList{QStringLiteral("--reformat"),
                           QStringLiteral("--buffer"),
                           QLatin1String(buffer),
                           QStringLiteral("-o"),
                           out,
                           logo}
            << QStringLiteral("--buffer: \"%1\" is not one of 2, 4, 8, 16, 32, 64, 128").arg(QLatin1String(buffer));
    }
    row("pic delay", {QStringLiteral("--reformat"), QStringLiteral("--pic-delay"), QStringLiteral("7"), logo},
        QStringLiteral("--pic-delay: \"7\" is not one of 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 100"));
    for (const char *address : {"65536", "65535.5", "-1", "0x10", ""}) {
        QTest::addRow("address \"%s\"", address)
            << QStringList{QStringLiteral("--reformat"),
                           QStringLiteral("--eeprom"),
                           QStringLiteral("--address"),
                           QLatin1String(address),
                           QStringLiteral("-o"),
                           out,
                           logo}
            << QStringLiteral("--address: \"%1\" is not an EEPROM start address").arg(QLatin1String(address));
    }
    row("address without eeprom",
        {QStringLiteral("--reformat"), QStringLiteral("--address"), QStringLiteral("1"), logo},
        QStringLiteral("--address needs --eeprom"));
    row("buffer without reformat", {QStringLiteral("--buffer"), QStringLiteral("32"), logo},
        QStringLiteral("--buffer needs --reformat or --send"));
    row("baud without send", {QStringLiteral("--reformat"), QStringLiteral("--baud"), QStringLiteral("9600"), logo},
        QStringLiteral("--baud needs --send"));
    row("baud", {send, tty, QStringLiteral("--baud"), QStringLiteral("4800"), logo},
        QStringLiteral("--baud: \"4800\" is not one of 9600, 2400, 1200"));
    for (const char *delay : {"-1", "abc", "60001", ""}) {
        QTest::addRow("xmit delay \"%s\"", delay)
            << QStringList{send, tty, QStringLiteral("--xmit-delay"), QLatin1String(delay), logo}
            << QStringLiteral("--xmit-delay: \"%1\" is not a delay in milliseconds").arg(QLatin1String(delay));
    }
    row("send with -o", {send, tty, QStringLiteral("-o"), out, logo}, QStringLiteral("-o and --suffix do not go"));
    row("send two pictures", {send, tty, logo, logo}, QStringLiteral("--send takes one picture at a time"));
    row("two pictures to stdout", {logo, logo}, QStringLiteral("several pictures need -o FOLDER or --suffix"));
    row("two pictures to one file", {QStringLiteral("-o"), out, logo, logo},
        QStringLiteral("-o out.inc: not an existing folder"));
    row("suffix with a file", {QStringLiteral("--suffix"), QStringLiteral(".asm"), QStringLiteral("-o"), out, logo},
        QStringLiteral("-o out.inc names a file"));
    row("suffix over the picture", {QStringLiteral("--suffix"), QStringLiteral(".bmp"), logo},
        QStringLiteral("logo.bmp would overwrite a picture"));
    row("-o over the picture", {QStringLiteral("-o"), logo, logo},
        QStringLiteral("logo.bmp would overwrite a picture"));
    row("one name twice", {QStringLiteral("--suffix"), QStringLiteral(".inc"), logo, QStringLiteral("./logo.bmp")},
        QStringLiteral("two pictures would both be written to"));
    row("-o through a link to the picture", {QStringLiteral("-o"), QStringLiteral("link.inc"), logo},
        QStringLiteral("link.inc would overwrite a picture"));
    row("--save-picture on a text in -o's folder", {"-o", ".", "--save-picture", "logo.inc", logo},
        QStringLiteral("logo.inc and --save-picture logo.inc lead to one file"));
}

void CliConvertTest::usageErrorsWriteNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const QByteArray picture = fileBytes(path("logo.bmp"));
    if (arguments.contains(QStringLiteral("link.inc")))
        QVERIFY(QFile::link(QStringLiteral("logo.bmp"), path("link.inc")));

    const CliResult result = runCli(arguments, dir->path());
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.out, QByteArray());
    QVERIFY2(result.err.startsWith("voxcel-convert: "), result.err.constData());
    QVERIFY2(result.err.contains(message.toLatin1()), result.err.constData());
    QVERIFY(result.err.contains("Try 'voxcel-convert --help'"));
    QStringList left = entries(dir->path());
    left.removeAll(QStringLiteral("link.inc"));
    QCOMPARE(left, QStringList{QStringLiteral("logo.bmp")});
    QCOMPARE(fileBytes(path("logo.bmp")), picture);
}

void CliConvertTest::failuresKeepOldFilesAndWriteNoPart_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("written"); // files expected new in the folder

    const QString out = QStringLiteral("out.inc");
    QTest::newRow("missing picture") << QStringList{QStringLiteral("-o"), out, QStringLiteral("gone.bmp")}
                                     << "gone.bmp: no such file" << QStringList();
    QTest::newRow("text named .bmp") << QStringList{QStringLiteral("-o"), out, QStringLiteral("text.bmp")}
                                     << "text.bmp: not a readable BMP picture" << QStringList();
    QTest::newRow("cut-off picture") << QStringList{QStringLiteral("-o"), out, QStringLiteral("cut.bmp")}
                                     << "cut.bmp: not a readable BMP picture" << QStringList();
    QTest::newRow("a folder") << QStringList{QStringLiteral("-o"), out, QStringLiteral("sub")}
                              << "sub: is a folder, not a picture" << QStringList();
    // A FIFO nobody writes to would keep a read waiting for ever.
    QTest::newRow("a FIFO") << QStringList{QStringLiteral("-o"), out, QStringLiteral("fifo.bmp")}
                            << "fifo.bmp: not a regular file" << QStringList();
    QTest::newRow("a FIFO to import") << QStringList{QStringLiteral("--fit"), QStringLiteral("fit"),
                                                     QStringLiteral("-o"), out, QStringLiteral("fifo.bmp")}
                                      << "not a regular file" << QStringList();
    QTest::newRow("a FIFO as text") << QStringList{QStringLiteral("--from-text"), QStringLiteral("fifo.bmp"),
                                                   QStringLiteral("-o"), QStringLiteral("back.bmp")}
                                    << "fifo.bmp: not a regular file" << QStringList();
    QTest::newRow("no such output folder")
        << QStringList{QStringLiteral("-o"), QStringLiteral("gone/out.inc"), QStringLiteral("logo.bmp")}
        << "cannot write gone/out.inc: " << QStringList();
    QTest::newRow("device cannot be opened")
        << QStringList{QStringLiteral("--send"), QStringLiteral("/dev/no-such-tty"), QStringLiteral("logo.bmp")}
        << "Cannot open /dev/no-such-tty" << QStringList();
    // A bad picture among good ones: the good ones are still converted.
    QTest::newRow("one of three") << QStringList{QStringLiteral("--suffix"), QStringLiteral(".hex"),
                                                 QStringLiteral("logo.bmp"), QStringLiteral("text.bmp"),
                                                 QStringLiteral("sub/copy.bmp")}
                                  << "text.bmp: not a readable BMP picture" << QStringList{QStringLiteral("logo.hex")};
}

void CliConvertTest::failuresKeepOldFilesAndWriteNoPart()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QFETCH(QStringList, written);

    const auto put = [&](const QString &name, const QByteArray &bytes) {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    put(QStringLiteral("text.bmp"), "not a picture\n");
    put(QStringLiteral("cut.bmp"), fileBytes(path("logo.bmp")).left(3000));
    put(QStringLiteral("out.inc"), "old text\r\n");
    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("sub")));
    QVERIFY(QFile::copy(path("logo.bmp"), path("sub/copy.bmp")));
    QCOMPARE(::mkfifo(QFile::encodeName(path("fifo.bmp")).constData(), 0600), 0);
    const QStringList before = entries(dir->path());

    const CliResult result = runCli(arguments, dir->path());
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.out, QByteArray());
    QVERIFY2(result.err.startsWith("voxcel-convert: "), result.err.constData());
    QVERIFY2(result.err.contains(message.toLatin1()), result.err.constData());
    QCOMPARE(fileBytes(path("out.inc")), QByteArray("old text\r\n"));

    QStringList expected = before + written;
    expected.sort();
    QCOMPARE(entries(dir->path()), expected);
    const QByteArray converted = runCli({QStringLiteral("logo.bmp")}, dir->path()).out;
    for (const QString &name : written)
        QCOMPARE(fileBytes(path(name)), converted.chopped(1) + "\r\n");
    if (!written.isEmpty())
        QCOMPARE(fileBytes(path("sub/copy.hex")), converted.chopped(1) + "\r\n");
}

void CliConvertTest::drawingWithTextIsImported()
{
    // Text in an SVG needs the font database, which a program without a GUI
    // application lacks (it used to abort).
    // So does a drawing in a folder of a series.
    QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("frames")));
    QFile drawing(path("frames/label.svg"));
    QVERIFY(drawing.open(QIODevice::WriteOnly));
    drawing.write(R"(<svg xmlns="http://www.w3.org/2000/svg" width="128" height="64">)"
                  R"(<text x="4" y="50" font-size="48">Hi</text></svg>)");
    drawing.close();
    for (const QStringList &arguments :
         {QStringList{"--fit", "fit", path("frames/label.svg")}, QStringList{"--series", path("frames")}}) {
        const CliResult result = runCli(arguments, dir->path());
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.out.split(',').size() == 1024 && result.out.count("$00") < 1000);
    }
}

void CliConvertTest::helpFitsEightyColumnsAndNamesEveryOption()
{
    const QString help = convertHelpText();
    for (const QString &line : help.split(QLatin1Char('\n')))
        QVERIFY2(line.size() <= 80, qPrintable(line));
    for (const QString &name : convertOptionNames()) {
        const QString option = (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        QVERIFY2(help.contains(option + QLatin1Char(' ')) || help.contains(option + QLatin1Char(',')),
                 qPrintable(option));
    }
}

void CliConvertTest::standardErrorHoldsOnlyOurMessages_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message"); // empty: nothing at all on standard error

    // The font database starts Qt's platform, which warns where
    // XDG_RUNTIME_DIR is unset.
    QTest::newRow("text") << QStringList{"--text", "Hi"} << QString();
    QTest::newRow("damaged TIFF imported") << QStringList{"--fit", "fit", "cut.tif"}
                                           << "cut.tif: the picture data is damaged, or it is larger than the 256 "
                                              "MB allowed (TIFF";
    QTest::newRow("damaged TIFF loaded") << QStringList{"cut.tif"} << "cut.tif: not a readable BMP picture (TIFF";
    QTest::newRow("damaged PNG imported") << QStringList{"--fit", "fit", "cut.png"} << "allowed (libpng error: ";
    QTest::newRow("damaged PNG loaded") << QStringList{"cut.png"} << "not a readable BMP picture (libpng error: ";
}

void CliConvertTest::standardErrorHoldsOnlyOurMessages()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    for (const char *kind : {"tif", "png"}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(testPicture().save(&buffer, kind));
        QFile cut(path(QStringLiteral("cut.%1").arg(QLatin1String(kind))));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(bytes.left(bytes.size() - 20));
    }
    const QByteArray runtimeDir = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("XDG_RUNTIME_DIR");
    const CliResult result = runCli(arguments, dir->path());
    if (!runtimeDir.isEmpty())
        qputenv("XDG_RUNTIME_DIR", runtimeDir);
    QCOMPARE(result.exitCode, message.isEmpty() ? 0 : 1);
    if (message.isEmpty()) {
        QCOMPARE(result.err, QByteArray());
    } else {
        // One line, ours, with the decoder's own reason.
        QVERIFY2(result.err.startsWith("voxcel-convert: ") && result.err.count('\n') == 1, result.err.constData());
        QVERIFY2(result.err.contains(message.toLatin1()), result.err.constData());
    }
}

VOXCEL_TEST_MAIN(CliConvertTest)
#include "cli_convert_test.moc"
