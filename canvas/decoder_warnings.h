#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// For the length of a reading: what the decoders said. Qt's readers pass on
// their libraries' warnings through the message log (libjpeg that the data
// ended early, libpng what is wrong), libtiff through handlers of its own;
// all of it is taken here, not printed, and kept for the refusal.
class DecoderWarnings
{
public:
    DecoderWarnings();
    ~DecoderWarnings();
    DecoderWarnings(const DecoderWarnings &) = delete;
    DecoderWarnings &operator=(const DecoderWarnings &) = delete;

    // How many times a reader warned that the data was damaged or ended
    // early (libjpeg does, and still returns a picture): a count taken
    // before a decode tells whether that decode was warned about.
    int count() const { return count_; }
    bool any() const { return count_ > 0; }
    // The decoders' own words on what was wrong, briefly: the first thing
    // one of them said; empty when none said anything.
    QString reason() const;

    // libpng reports a failed read straight to standard error: a program
    // whose standard error a person reads (voxcel-convert) has it taken
    // here too, for the length of each reading. Only for a program that
    // reads pictures on one thread.
    static void takeStandardError(bool take);

private:
    QString standardErrorSoFar() const;
    static void take(QtMsgType type, const QMessageLogContext &context, const QString &text);

    DecoderWarnings *outer_; // a reading within a reading on the same thread
    int count_ = 0;
    QStringList said_;
    int savedStandardError_ = -1;
    int standardErrorCopy_ = -1;
};

// "what we say (the decoder's reason)", or what we say alone.
QString withDecoderReason(const QString &refusal, const DecoderWarnings &warnings);
