// Any bytes at all may be opened into the transmit window.
#include "serial/field_reader.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString whole = readFields(bytes);

    // Only delimiters, blanks and quotes are dropped; every other byte is
    // one character.
    if (whole.size() > bytes.size())
        std::abort();

    // Where the reads are cut must not matter.
    if (size > 0) {
        const qsizetype cut = data[0] % (bytes.size() + 1);
        FieldReader reader;
        reader.feed(QByteArrayView(bytes).first(cut));
        reader.feed(QByteArrayView(bytes).sliced(cut));
        if (reader.text() != whole)
            std::abort();
    }

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const FieldFileResult fromDevice = readFieldDevice(buffer);
    if (!fromDevice.error.isEmpty() || fromDevice.text != whole)
        std::abort();
    return 0;
}
