#pragma once

#include <QString>

#include <optional>

// What Convert and Reformat For Output take from the PIC settings, at the
// moment they run.
class PicSettingsSource
{
public:
    virtual ~PicSettingsSource() = default;
    // The parameter prefix of the target, buffer, start address and PIC
    // delay chosen now; nothing when the start address cannot be used.
    virtual std::optional<QString> paramPrefix() const = 0;
    virtual qint16 picBuffer() const = 0;
    // Put before each piece, exactly as typed.
    virtual QString waitChars() const = 0;
};
