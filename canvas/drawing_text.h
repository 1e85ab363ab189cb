#pragma once

// A drawing (SVG) read as text before it is rendered: decompressed when it
// is an svgz, refused when it is larger than a drawing may be, or when it
// refers to anything outside itself.

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <optional>

// The SVG text of the drawing in `file` ("svg" or "svgz"), from its current
// position; nothing, with the reason, when it cannot be drawn safely.
std::optional<QByteArray> readDrawingText(QIODevice &file, const QByteArray &format, QString *reason);

// The first reference of an SVG document to something outside it (a file,
// a device, a web address), in an href, a style, or a style sheet; empty
// when it holds everything it shows.
QString outsideReference(const QByteArray &svg);
