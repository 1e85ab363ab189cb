#pragma once

#include "serial/pacing.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Sending a series of pictures: the EEPROM addresses of its frames, its
// time on the line, and the order of the sends with the holds between them.

// The bytes one picture of the series takes: the EEPROM keeps a 128 x 32
// picture in 512; otherwise 1024, as Send to LCD sends a picture whole.
int seriesPictureBytes(bool eepromMode, bool halfHeight);

// Frame k goes to start + k x pictureBytes, the start read from the
// address box's text as the prefix reads it (a decimal number, rounded to
// the nearest, ties to even). Nothing, and the reason in error, when the
// text is no address or the last frame would end past 65535.
std::optional<std::vector<int>> planEepromAddresses(const QString &startAddressText, int frames, int pictureBytes,
                                                    QString *error);

// The parameter prefix of each frame: to the LCD the one the settings give
// every frame; to the EEPROM each its own address as planned above.
// Nothing, and the reason in error, when the address cannot be used.
std::optional<QStringList> seriesPrefixes(bool eepromMode, qint16 picBuffer, const QString &startAddressText,
                                          qint16 picDelay, int frames, int pictureBytes, QString *error);

// How a series is sent: every frame text in order, `loops` times (0: until
// stopped), with holdMs of quiet on the line after each frame but the very
// last; each text paced as Send to LCD paces one picture.
struct SeriesSendPlan
{
    QStringList texts;
    QString waitText;
    int delayMs = 0;
    int holdMs = 0;
    int loops = 1;
};

// The hold time the series starts with: the animation's own delay (the
// first frame's that gives one), or 500 ms.
int defaultSeriesHoldMs(const std::vector<int> &frameDelaysMs);

// The series' time on a line of this character time: the frames' paced
// times and the holds. For endless loops, one round. With `frame` and
// `sent` (the round's frame in flight and its characters sent), the time
// left from there.
LineDuration seriesSendTime(const SeriesSendPlan &plan, LineDuration characterTime, int frame = 0, qsizetype sent = 0,
                            int loopsDone = 0);

// How a series send ended: as the frame in flight ended, and where.
struct SeriesSendResult
{
    PacedSendResult last; // the last frame's send, or the one that ended it
    int frame = 0;        // from 0, in the plan's texts
    int loop = 0;         // from 0
};

// What the window and the command line say when a send ends early.
QString seriesStopMessage(const SeriesSendResult &result);

// Sends the series through sendPaced on the calling thread, the command
// line's blocking or the port session's line thread, sleeping the holds
// with the hooks' sleep and ending there when a stop is requested.
// progress gets the frame and round in flight and its characters.
using SeriesProgress = std::function<void(int frame, int loop, qsizetype sent, qsizetype total)>;
SeriesSendResult sendSeriesPaced(const SeriesSendPlan &plan, PortLayer &port, const PacingHooks &hooks = {},
                                 const SeriesProgress &progress = {});
