#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// One headless run of gpsim with the firmware: the RX pin driven from a
// stimulus, a 24LC256 on the I2C pins, writes to the registers named
// logged with their cycles, and the registers named printed at the end.
struct GpsimSetup
{
    QString firmware;      // the .cod file gpasm wrote
    QByteArray rxStimulus; // see rxStimulus()
    qint64 endCycle = 0;
    QStringList loggedRegisters;
    QStringList printedRegisters;
    bool eeprom = false;
    // Preloads the library that mends the receive FIFO (see fifo_mend.cpp).
    bool mendFifo = true;
};

struct GpsimRun
{
    QString output; // what gpsim printed
    QString log;    // its log of register writes
};

// Runs gpsim. gpsim exits 0 whatever happens, so a run counts as done only
// when it printed that it reached endCycle; otherwise nothing, and why.
std::optional<GpsimRun> runGpsim(const GpsimSetup &setup, QString *error);

// A register's value as gpsim printed it ("name = 0x4f").
std::optional<int> printedValue(const QString &output, const QString &name);

struct RegisterWrite
{
    qint64 cycle;
    QString reg;
    int value;
};
// The writes in gpsim's log, in order.
std::vector<RegisterWrite> registerWrites(const QString &log);

// The 24LC256's 32 KB as gpsim prints them, runs of equal bytes in
// "eeData[$from..$to] = $value" lines. Nothing when they are not there.
std::optional<QByteArray> eepromContents(const QString &output);
