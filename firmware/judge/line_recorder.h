#pragma once

#include "firmware/judge/wire_timing.h"

#include <optional>

// Records a real send: makes a pseudo-terminal, links linkPath to it,
// prints its name, and notes what arrives and when, with the speed the
// sender set, until the line has been quiet quietMs after the first
// character (or nothing came within timeoutMs).
std::optional<LineRecording> recordLine(const QString &linkPath, int quietMs, int timeoutMs, QString *error);
