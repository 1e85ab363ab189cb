#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QLatin1String>
#include <QString>

class QIODevice;

// The Open menu's message is this text followed by the failure's description.
inline constexpr QLatin1String fileOpenErrorPrefix("File Open Error - ");

// Reads a text file field by field, the way the Open menu loads it into the
// transmit window, and joins the fields with nothing between them.
//
// - A field ends at a comma or a line end (LF, CR LF or a lone CR); the
//   comma or line end is not kept.
// - Blanks (spaces and tabs) before a field are skipped.
// - A field that starts with a double quote runs to the next double quote
//   and keeps the commas and line ends inside; the quotes are not kept.
//   Without a closing quote it runs to the end of the file.
// - After the closing quote, blanks are skipped and anything else up to
//   the next comma or line end is kept as more of the field, so no
//   character of the file is lost but the delimiters.
//
// Bytes are 8-bit characters (Latin-1), as on the serial port: a file that
// is not text is read without complaint, NUL bytes included.
//
// Input may arrive in pieces; the result does not depend on where the
// pieces are cut.
class FieldReader
{
public:
    void feed(QByteArrayView bytes);
    QString text() const { return QString::fromLatin1(fields_); }

private:
    enum class State { FieldStart, Unquoted, Quoted, AfterQuote };
    State state_ = State::FieldStart;
    QByteArray fields_;
};

// The fields of a whole text, joined.
QString readFields(QByteArrayView bytes);

struct FieldFileResult
{
    QString text;  // the fields read, also those before a failure
    QString error; // the failure's description; empty when the file was read to its end
};

// Reads the file at a path. On a failure the fields read before it are
// still returned, with the description to show after fileOpenErrorPrefix.
FieldFileResult readFieldFile(const QString &fileName);
// The same over an open device, read to its end.
FieldFileResult readFieldDevice(QIODevice &device);
