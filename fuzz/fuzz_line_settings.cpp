// The port's settings text, as typed or read back from the port.
#include "serial/line_settings.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<LineSettings> settings = parseLineSettings(text);
    if (!settings)
        return 0;

    if (settings->baudRate <= 0 || settings->dataBits < 5 || settings->dataBits > 8)
        std::abort();
    // The text form reads back as the same settings and is stable.
    const QString formatted = formatLineSettings(*settings);
    const std::optional<LineSettings> again = parseLineSettings(formatted);
    if (!again || *again != *settings || formatLineSettings(*again) != formatted)
        std::abort();
    return 0;
}
