#pragma once

#include "firmware/judge/gpsim_session.h"

#include <QByteArray>
#include <QStringList>

#include <array>
#include <vector>

// A KS0108 128 x 64 display as the firmware's port writes drive it: two
// controllers of 8 pages by 64 columns behind chip selects, taking an
// instruction or a data byte from PORTD when E falls. gpsim has no
// headless model of it.
class Ks0108Model
{
public:
    // Pins on PORTB, as firmware/board.inc has them.
    static constexpr int DataOrInstruction = 1 << 0;
    static constexpr int ReadWrite = 1 << 1;
    static constexpr int Enable = 1 << 2;
    static constexpr int ChipSelect1 = 1 << 3;
    static constexpr int ChipSelect2 = 1 << 4;
    static constexpr int ResetLow = 1 << 5;

    // Replays the writes to portb and portd in order.
    void replay(const std::vector<RegisterWrite> &writes);

    // What the display shows, in the order of Voxcel's converted text:
    // page 0 from column 0 to 127, then page 1, ...
    QByteArray shownBytes() const;
    // Anything that would not work on a real display: a controller left
    // off or scrolled, an E pulse too short, a read.
    QStringList faults() const;

private:
    struct Controller
    {
        std::array<std::array<unsigned char, 64>, 8> ram{};
        int page = 0;
        int column = 0;
        int startLine = 0;
        bool on = false;
    };

    void latch(int control, int data);

    std::array<Controller, 2> controllers_;
    QStringList faults_;
};
