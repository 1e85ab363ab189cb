// Importing a picture: a 4000 x 3000 photo-like JPEG from file to dots
// (target: 150 ms with Floyd-Steinberg), and one preview update after a
// threshold change with the scaled picture kept (target: 5 ms).
#include "import/picture_import.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QString jpegPath;
QString pngPath;

// A diagonal gradient with a circle and grain, as a photograph has: the grain
// keeps the JPEG from compressing to nothing.
QImage photoLike(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    quint32 seed = 2024;
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = int(seed >> 27) - 16;
            const int dx = x - width / 2;
            const int dy = y - height / 2;
            const bool inCircle = dx * dx + dy * dy < (height / 3) * (height / 3);
            const int base = (x * 255 / width + y * 255 / height) / 2;
            const int level = qBound(0, (inCircle ? 255 - base : base) + grain, 255);
            line[x] = qRgb(level, qBound(0, level + 20, 255), qBound(0, level - 30, 255));
        }
    }
    return picture;
}

ImportOptions floydSteinberg()
{
    ImportOptions options;
    options.dither = ImportDither::FloydSteinberg;
    return options;
}

void importFile(benchmark::State &state, const QString &path, const ImportOptions &options)
{
    for (auto _ : state) {
        QString error;
        std::optional<QImage> dots = importPicture(path, options, importTargetSize(false), &error);
        if (!dots) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        benchmark::DoNotOptimize(dots);
    }
}

void BM_ImportJpeg4000x3000FloydSteinberg(benchmark::State &state)
{
    importFile(state, jpegPath, floydSteinberg());
}
BENCHMARK(BM_ImportJpeg4000x3000FloydSteinberg)->Unit(benchmark::kMillisecond);

// Original size reads the centre of a large JPEG a second time, at full size.
void BM_ImportJpeg4000x3000OriginalSize(benchmark::State &state)
{
    ImportOptions options = floydSteinberg();
    options.fit = ImportFit::OriginalSize;
    importFile(state, jpegPath, options);
}
BENCHMARK(BM_ImportJpeg4000x3000OriginalSize)->Unit(benchmark::kMillisecond);

// A PNG has no reduced decoding: the whole picture is decoded and averaged.
void BM_ImportPng4000x3000FloydSteinberg(benchmark::State &state)
{
    importFile(state, pngPath, floydSteinberg());
}
BENCHMARK(BM_ImportPng4000x3000FloydSteinberg)->Unit(benchmark::kMillisecond);

// The JPEG read and scaled once, as the dialog keeps it; the benchmark is
// skipped when it cannot be read.
std::optional<PictureImport> openJpeg(benchmark::State &state)
{
    QString error;
    std::optional<PictureImport> import = PictureImport::open(jpegPath, importTargetSize(false), &error);
    if (!import)
        state.SkipWithError(qPrintable(error));
    return import;
}

// What the dialog does when the slider moves: the scaled picture is kept,
// only the dots are made again.
void BM_PreviewAfterThresholdChange(benchmark::State &state)
{
    std::optional<PictureImport> import = openJpeg(state);
    if (!import)
        return;
    ImportOptions options = floydSteinberg();
    options.autoThreshold = false;
    int step = 0;
    for (auto _ : state) {
        options.threshold = 100 + (++step % 50);
        import->setOptions(options);
        benchmark::DoNotOptimize(import->picture());
    }
}
BENCHMARK(BM_PreviewAfterThresholdChange)->Unit(benchmark::kMicrosecond);

// A change of fit scales again from the kept grey picture.
void BM_PreviewAfterFitChange(benchmark::State &state)
{
    std::optional<PictureImport> import = openJpeg(state);
    if (!import)
        return;
    ImportOptions options = floydSteinberg();
    int step = 0;
    for (auto _ : state) {
        options.fit = ++step % 2 ? ImportFit::Fill : ImportFit::Fit;
        import->setOptions(options);
        benchmark::DoNotOptimize(import->picture());
    }
}
BENCHMARK(BM_PreviewAfterFitChange)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // the image format plugins need it
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    jpegPath = dir.filePath(QStringLiteral("photo.jpg"));
    pngPath = dir.filePath(QStringLiteral("photo.png"));
    const QImage photo = photoLike(4000, 3000);
    QImageWriter jpeg(jpegPath, "jpeg");
    jpeg.setQuality(90);
    if (!jpeg.write(photo) || !photo.save(pngPath))
        return 1;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
