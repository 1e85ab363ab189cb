#pragma once

#include "serial/port_layer.h"

#include <QString>
#include <functional>
#include <optional>

// The longest pause accepted, in milliseconds; larger delays are taken as
// a typing mistake rather than a wish to block the window for ages.
inline constexpr int MaxXmitDelayMs = 60000;

// The xmit delay as Send to LCD reads it: a decimal number of milliseconds,
// rounded down (20.9 gives 20). Nothing for an empty text, a text that is
// not a number, a negative delay or one above MaxXmitDelayMs.
std::optional<int> sendDelayFloor(const QString &text);

// The xmit delay as Paste and Send reads it: rounded to the nearest whole
// millisecond, ties to even (20.9 gives 21, 20.5 gives 20). Same refusals.
std::optional<int> pasteDelayNearestEven(const QString &text);

// Sleeps until the deadline, never less, unless a stop is requested (see
// StopRequest), which may end it at once; whatever it oversleeps only
// lengthens the pause.
using SleepFunction = std::function<void(LineTime deadline)>;
// The time now, on the clock the sleep keeps to.
using ClockFunction = std::function<LineTime()>;
// Called after each character written: (characters sent, total). The
// window repaints its progress from here, so keep it cheap.
using PacingProgress = std::function<void(qsizetype sent, qsizetype total)>;

// Asked between characters and after every sleep: true ends the send there,
// after the character in flight.
using StopRequest = std::function<bool()>;

// A blocking sleep on the calling thread, the sleep of the program.
void sleepUntil(LineTime deadline);

// What a paced send runs on: by default the plain blocking sleep and the
// steady clock, never stopped (the command line); the port session's
// stoppable sleep and its stop flag on the line's thread; a fake clock in
// unit tests.
struct PacingHooks
{
    SleepFunction sleep = sleepUntil;
    ClockFunction clock = LineClock::now;
    StopRequest stopRequested{};
};

// A text to send paced: the pause of delayMs comes before each character
// equal to waitText.
struct PacedSend
{
    QString text;
    QString waitText;
    int delayMs = 0;
};

// How a paced send ended, and how far it got.
struct PacedSendResult
{
    enum class End {
        Sent,     // every character went out and the line is idle again
        Stopped,  // the stop request said so
        PortLost, // the port failed; portError says why
    };
    End end = End::Sent;
    qsizetype sent = 0;  // characters handed to the port
    qsizetype total = 0; // characters in the text
    QString portError;
    // Sent, and then the device went away (a PIC that hangs up once it has
    // the picture, an adapter pulled out): why. The port is closed. (Its own
    // initializer lets results listed member by member leave it out.)
    QString goneAfterEnd{};
    // From the start of the send to its end, on the send's clock.
    LineDuration elapsed{};
};

// Says that a send went out whole although the device went away after it.
QString goneAfterEndNote(const PacedSendResult &result);

// Writes text one character at a time, from the first to the last. Before
// every character equal to waitText (the whole wait text against the one
// character, so a wait text of two characters or none never pauses) the
// PIC needs silence on the wire to store the piece before it: at least the
// delay. The system sends what it is handed
// a character time per character (see LineModel), long after output()
// returned, so before such a character the loop waits until its line model
// says the line is idle, lets the port drain what the system still holds,
// and only then sleeps the delay, counted from the moment the line went
// quiet. A delay of 0 asks for no silence and waits for nothing.
// After the last character it lets the port drain what the system still
// holds, then waits until the line is idle again, so that the caller may
// close the port or change its settings at once without cutting off the
// end. Once drained, the send is whole: a device that goes away during that
// wait ends it Sent, with goneAfterEnd saying so.
// Characters beyond 8 bits go out as '?'. The send ends early, with the
// result saying why, when the port fails or the stop request says so.
PacedSendResult sendPaced(const PacedSend &send, PortLayer &port, const PacingHooks &hooks = {},
                          const PacingProgress &progress = {});

// How long sendPaced takes over text from character `from` on, on a line of
// the given character time: every character's time on the wire and the
// delay before each wait character (nothing for a delay of 0). With `from`
// the characters sent so far it is the time left; with 0 the whole send:
// 3.49 s for a picture with the start-up settings at 9600 baud.
LineDuration pacedSendTime(const QString &text, const QString &waitText, int delayMs, LineDuration characterTime,
                           qsizetype from = 0);
