#include "serial/start_address_entry.h"

#include "text/decimal_text.h"

namespace {

const QString LargerAddresses =
    QStringLiteral("Right-click the box for Start Address..., which takes any address from 0 to 65535.");

// A text as a reason quotes it: a clipboard may hold megabytes.
QString quoted(const QString &text)
{
    constexpr qsizetype Shown = 24;
    const QString shown = text.size() > Shown ? text.left(Shown) + QStringLiteral("...") : text;
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

QString afterEdit(const AddressBoxState &box, const QString &insert)
{
    if (box.selectionLength > 0)
        return box.text.left(box.selectionStart) + insert + box.text.mid(box.selectionStart + box.selectionLength);
    return box.text.left(box.cursor) + insert + box.text.mid(box.cursor);
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

} // namespace

AddressBoxEdit judgeTypedIntoAddressBox(const AddressBoxState &box, const QString &typed)
{
    const QString result = afterEdit(box, typed);
    if (result.size() <= StartAddressBoxLength)
        return {true, typed, {}};
    return {false,
            {},
            QStringLiteral("%1 does not fit: the box holds %2 characters. Select the characters to replace. %3")
                .arg(quoted(result))
                .arg(StartAddressBoxLength)
                .arg(LargerAddresses)};
}

AddressBoxEdit judgePastedIntoAddressBox(const AddressBoxState &box, const QString &pasted)
{
    const QString number = pasted.trimmed();
    if (hasLineBreak(number))
        return {false, {}, QStringLiteral("Not pasted: the clipboard holds more than one line.")};
    if (number.size() > StartAddressBoxLength)
        return {false,
                {},
                QStringLiteral("Not pasted: %1 has %2 characters and the box holds %3. %4")
                    .arg(quoted(number))
                    .arg(number.size())
                    .arg(StartAddressBoxLength)
                    .arg(LargerAddresses)};
    const QString result = afterEdit(box, number);
    if (result.size() > StartAddressBoxLength)
        return {false,
                {},
                QStringLiteral("Not pasted: the box would hold %1, and it holds %2 characters. Select the "
                               "characters the paste replaces.")
                    .arg(quoted(result))
                    .arg(StartAddressBoxLength)};
    return {true, number, {}};
}

std::optional<int> readStartAddress(const QString &answer, QString *reason)
{
    const std::optional<double> typed = parseDecimal(answer);
    const std::optional<long long> address = typed ? roundHalfEven(*typed, 0, LastStartAddress) : std::nullopt;
    if (!address) {
        *reason = QStringLiteral("%1 is not a start address: enter a decimal number from 0 to 65535")
                      .arg(quoted(answer.trimmed()));
        return std::nullopt;
    }
    return static_cast<int>(*address);
}

std::optional<QString> addressBoxText(int address)
{
    if (address < 0 || address > 9999)
        return std::nullopt;
    return QString::number(address).rightJustified(StartAddressBoxLength, QLatin1Char('0'));
}
