// Paints the Voxcel icon: a green LCD module whose blue panel shows "VOX" and
// a wave in lit dots, with a chip on the board and a serial plug on its cable.
// The design lives on a 32 x 32 grid in the classic 16-colour palette; the
// 32-pixel icon is painted one grid cell per pixel with no smoothing, and the
// larger renderings paint the same cells scaled, with LCD-style dots.
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRectF>

#include <cmath>
#include <cstdio>

namespace {

// The colours used, all from the 16-colour palette.
const QColor black(0, 0, 0);
const QColor pcbGreen(0, 128, 0);
const QColor silver(192, 192, 192);
const QColor grey(128, 128, 128);
const QColor panelBlue(0, 0, 255);
const QColor navy(0, 0, 128);
const QColor white(255, 255, 255);
const QColor red(255, 0, 0);
const QColor yellow(255, 255, 0);

// The panel: 24 x 12 dots, the KS0108 module's 2:1 shape.
constexpr int panelX = 4, panelY = 5, panelW = 24, panelH = 12;

// "VOX" in a 5-row font; the wave under it is computed.
const char *const letters[] = {
    ".X...X..XX....X...X.....", ".X...X.X..X....X.X......", "..X.X..X..X.....X.......",
    "..X.X..X..X....X.X......", "...X....XX....X...X.....",
};

bool dotIsLit(int col, int row)
{
    if (row >= 0 && row < 5)
        return letters[row][col] == 'X';
    // One and a half periods of a sine over rows 6..10.
    const double pi = std::acos(-1.0);
    const int waveRow = 8 - static_cast<int>(std::lround(2.0 * std::sin(2.0 * pi * col / 16.0)));
    return row == waveRow;
}

class IconPainter
{
public:
    IconPainter(QPainter &painter, int scale) : p(painter), s(scale) {}

    void cells(int x, int y, int w, int h, const QColor &colour)
    {
        p.fillRect(QRect(x * s, y * s, w * s, h * s), colour);
    }

    void paint()
    {
        // The module's board with its black edge and mounting holes.
        cells(0, 2, 32, 22, black);
        cells(1, 3, 30, 20, pcbGreen);
        cells(1, 3, 1, 1, silver);
        cells(30, 3, 1, 1, silver);
        cells(1, 22, 1, 1, silver);
        cells(30, 22, 1, 1, silver);

        // The panel in its black bezel, with a navy shadow along the top.
        cells(panelX - 1, panelY - 1, panelW + 2, panelH + 2, black);
        cells(panelX, panelY, panelW, panelH, panelBlue);
        cells(panelX, panelY, panelW, 1, navy);
        for (int row = 0; row < panelH; ++row)
            for (int col = 0; col < panelW; ++col)
                if (dotIsLit(col, row - 1))
                    dot(panelX + col, panelY + row);

        // The PIC: a small DIP with its pins and notch.
        cells(5, 19, 9, 3, black);
        cells(5, 20, 1, 1, grey);
        for (int x = 6; x <= 12; x += 2) {
            cells(x, 18, 1, 1, silver);
            cells(x, 22, 1, 1, silver);
        }
        // Power LED and the serial header's pads.
        cells(26, 19, 2, 2, red);
        for (int x = 17; x <= 23; x += 2)
            cells(x, 20, 1, 1, yellow);

        // The cable from the header down to a 9-pin serial plug.
        cells(20, 24, 2, 3, grey);
        plugShell();
        for (int x = 16; x <= 24; x += 2)
            cells(x, 28, 1, 1, black);
        for (int x = 17; x <= 23; x += 2)
            cells(x, 30, 1, 1, black);
    }

private:
    void dot(int x, int y)
    {
        if (s == 1) {
            cells(x, y, 1, 1, white);
            return;
        }
        // Larger renderings show the gaps between the LCD's dots.
        const qreal gap = s / 8.0;
        p.setPen(Qt::NoPen);
        p.setBrush(white);
        p.drawRoundedRect(QRectF(x * s + gap, y * s + gap, s - 2 * gap, s - 2 * gap), gap, gap);
    }

    void plugShell()
    {
        // The D shape, wider at the top, row by row.
        cells(13, 27, 14, 1, black);
        cells(14, 28, 12, 3, black);
        cells(15, 31, 10, 1, black);
        cells(14, 27, 12, 1, silver);
        cells(15, 28, 10, 3, silver);
        cells(16, 31, 8, 1, silver);
        cells(14, 28, 1, 3, silver);
        cells(25, 28, 1, 3, silver);
    }

    QPainter &p;
    const int s;
};

QImage renderIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, size > 32);
    IconPainter(painter, size / 32).paint();
    painter.end();
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    for (const int size : {32, 256}) {
        const QString path = out.filePath(QStringLiteral("voxcel-%1.png").arg(size));
        if (!renderIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
