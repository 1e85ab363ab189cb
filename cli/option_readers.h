#pragma once

#include "cli/convert_options.h"

#include <QCommandLineParser>
#include <QString>

// How the arguments are read into ConvertOptions, for the files that read
// them: the options' names, and a reader for each group of options, which
// fills its part and returns the usage error, if any.

namespace OptionName {
inline const QString Order = QStringLiteral("order");
inline const QString Header = QStringLiteral("header");
inline const QString Footer = QStringLiteral("footer");
inline const QString Format = QStringLiteral("format");
inline const QString Delimiter = QStringLiteral("delimiter");
inline const QString Reformat = QStringLiteral("reformat");
inline const QString Buffer = QStringLiteral("buffer");
inline const QString Wait = QStringLiteral("wait");
inline const QString PicDelay = QStringLiteral("pic-delay");
inline const QString Eeprom = QStringLiteral("eeprom");
inline const QString Address = QStringLiteral("address");
inline const QString Send = QStringLiteral("send");
inline const QString Baud = QStringLiteral("baud");
inline const QString XmitDelay = QStringLiteral("xmit-delay");
inline const QString Output = QStringLiteral("output");
inline const QString Suffix = QStringLiteral("suffix");
inline const QString Help = QStringLiteral("help");
inline const QString Version = QStringLiteral("version");
inline const QString FromText = QStringLiteral("from-text");
inline const QString Fit = QStringLiteral("fit");
inline const QString Threshold = QStringLiteral("threshold");
inline const QString Dither = QStringLiteral("dither");
inline const QString Invert = QStringLiteral("invert");
inline const QString Text = QStringLiteral("text");
inline const QString Font = QStringLiteral("font");
inline const QString Size = QStringLiteral("size");
inline const QString Bold = QStringLiteral("bold");
inline const QString At = QStringLiteral("at");
inline const QString SavePicture = QStringLiteral("save-picture");
inline const QString ListFonts = QStringLiteral("list-fonts");
inline const QString Series = QStringLiteral("series");
inline const QString Hold = QStringLiteral("hold");
inline const QString Loop = QStringLiteral("loop");
inline const QString Rows = QStringLiteral("rows");
} // namespace OptionName

// "--buffer: "3" is not one of 2, 4, ...".
QString invalidChoice(const QString &option, const QString &text, const QString &choices);

// --text and its style, and --save-picture.
QString readText(const QCommandLineParser &parser, ConvertOptions &o);
// The Import options.
QString readImport(const QCommandLineParser &parser, ConvertOptions &o);
// A series' own options; every frame is imported.
QString readSeries(const QCommandLineParser &parser, ConvertOptions &o);
