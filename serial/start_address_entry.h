#pragma once

#include <QString>
#include <optional>

// The EEPROM start-address box holds four characters and is read as a
// decimal number (see param_prefix.h). Nothing typed or pasted into it is
// ever cut to fit: what does not fit is refused whole, and the reason says
// why and where larger addresses go in (the box's Start Address... entry,
// which takes any address from 0 to 65535).

inline constexpr int StartAddressBoxLength = 4;
inline constexpr int LastStartAddress = 0xFFFF;

// The box as an edit finds it: its text, the cursor, and the selection
// (length 0 when nothing is selected).
struct AddressBoxState
{
    QString text;
    qsizetype cursor = 0;
    qsizetype selectionStart = 0;
    qsizetype selectionLength = 0;
};

struct AddressBoxEdit
{
    bool accepted = false;
    QString insert; // what goes in at the cursor, over the selection
    QString reason; // why not, when refused
};

// A keystroke's text typed into the box.
AddressBoxEdit judgeTypedIntoAddressBox(const AddressBoxState &box, const QString &typed);
// A paste (or a drop). Blanks and line ends around the text are left out,
// as copied numbers often carry them; the number itself is taken whole or
// not at all.
AddressBoxEdit judgePastedIntoAddressBox(const AddressBoxState &box, const QString &pasted);

// The answer to Start Address...: a decimal number from 0 to 65535, read
// as the box is read. Nothing, with the reason, for anything else.
std::optional<int> readStartAddress(const QString &answer, QString *reason);
// The box's text for an address it can hold in four plain digits
// ("0000" to "9999"); nothing for a larger one.
std::optional<QString> addressBoxText(int address);
