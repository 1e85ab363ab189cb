#include "canvas/canvas.h"
#include "convert/byte_matrix.h"
#include "convert/reformat.h"

#include <QImage>

#include <benchmark/benchmark.h>

namespace {

Canvas checkerboard()
{
    QImage picture(Canvas::Width, Canvas::Height, QImage::Format_RGB32);
    for (int y = 0; y < Canvas::Height; ++y)
        for (int x = 0; x < Canvas::Width; ++x)
            picture.setPixel(x, y, (x + y) % 2 == 0 ? 0xFF000000u : 0xFFFFFFFFu);
    Canvas canvas;
    canvas.placePicture(picture);
    return canvas;
}

void BM_ConvertFullCanvas(benchmark::State &state)
{
    const Canvas canvas = checkerboard();
    const OutputFormat format = OutputFormat::startUp();
    ByteValues values;
    for (auto _ : state) {
        const ByteMatrix matrix = buildByteMatrix(canvas, &values);
        QString text = formatByteMatrix(matrix, 0, format);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_ConvertFullCanvas);

void BM_ReformatPicture(benchmark::State &state)
{
    const Canvas canvas = checkerboard();
    const QString workText = workTextFrom(formatByteMatrix(buildByteMatrix(canvas), 0, OutputFormat()));
    const QString waitChars = QStringLiteral("]");
    const QString prefix = QStringLiteral("*02000000A");
    for (auto _ : state) {
        QString sendText = reformatForOutput(workText, 32, waitChars, prefix);
        benchmark::DoNotOptimize(sendText);
    }
}
BENCHMARK(BM_ReformatPicture);

} // namespace

BENCHMARK_MAIN();
