#include "picsim/lcd_picture.h"

namespace {

constexpr int Columns = 128;
constexpr int Rows = 64;
constexpr int Pages = Rows / 8;

} // namespace

QImage lcdPicture(const QByteArray &displayBytes)
{
    QImage picture(Columns, Rows, QImage::Format_Mono);
    picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    picture.fill(0);
    const qsizetype count = std::min<qsizetype>(displayBytes.size(), Columns * Pages);
    for (qsizetype i = 0; i < count; ++i) {
        const int column = static_cast<int>(i % Columns);
        const int page = static_cast<int>(i / Columns);
        const auto byte = static_cast<unsigned char>(displayBytes.at(i));
        for (int bit = 0; bit < 8; ++bit) {
            if (byte & (1u << bit))
                picture.setPixel(column, page * 8 + bit, 1);
        }
    }
    return picture;
}

QByteArray displayBytesOf(const QImage &picture)
{
    QByteArray bytes(Columns * Pages, '\0');
    for (int page = 0; page < Pages; ++page) {
        for (int column = 0; column < Columns; ++column) {
            unsigned byte = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const int row = page * 8 + bit;
                if (column < picture.width() && row < picture.height() && (picture.pixel(column, row) & 0xFFFFFF) == 0)
                    byte |= 1u << bit;
            }
            bytes[page * Columns + column] = static_cast<char>(byte);
        }
    }
    return bytes;
}
