// The start address and the delays are typed by the user.
#include "text/decimal_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
void checkRounded(double value, long long low, long long high)
{
    const std::optional<long long> rounded = roundHalfEven(value, low, high);
    if (!rounded)
        return;
    if (*rounded < low || *rounded > high)
        std::abort();
    if (std::fabs(static_cast<double>(*rounded) - value) > 0.5)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *chars = reinterpret_cast<const char *>(data);

    // The text as typed (UTF-8, possibly broken) and as 8-bit characters.
    for (const QString &text :
         {QString::fromUtf8(chars, qsizetype(size)), QString::fromLatin1(chars, qsizetype(size))}) {
        const std::optional<double> value = parseDecimal(text);
        if (!value)
            continue;
        if (!std::isfinite(*value))
            std::abort();
        // Blanks around a number do not change it.
        if (parseDecimal(QLatin1Char(' ') + text + QLatin1Char(' ')) != value)
            std::abort();
        checkRounded(*value, -32768, 32767);
        checkRounded(*value, 0, 65535);
    }

    // Any double against any range, as the callers could pass them.
    if (size >= 24) {
        double value;
        long long low;
        long long high;
        std::memcpy(&value, data, 8);
        std::memcpy(&low, data + 8, 8);
        std::memcpy(&high, data + 16, 8);
        checkRounded(value, low, high);
    }
    return 0;
}
