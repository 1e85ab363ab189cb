#pragma once

#include <QString>

// How a send ended, as the progress area tells it until the next command.
struct SendOutcome
{
    enum class End {
        Sent,    // every character went out
        Stopped, // Stop, Esc or the window's end asked for it
        Failed,  // the port failed; reason says why
    };
    End end = End::Sent;
    qsizetype sent = 0;  // characters handed to the port
    qsizetype total = 0; // characters in the text
    double seconds = 0;  // from the start of the send to its end
    QString reason;      // Failed: why; Sent: the port closed after it, why
};

// "Sent 2122 characters in 3.5 s", "Stopped after 812 of 2122 characters",
// "Failed after 812 of 2122 characters: <reason>".
QString sendOutcomeText(const SendOutcome &outcome);
