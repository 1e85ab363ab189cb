#include "import/picture_import.h"

#include "canvas/canvas.h"

std::optional<ImportFit> importFitNamed(const QString &name)
{
    if (name == QLatin1String("fit"))
        return ImportFit::Fit;
    if (name == QLatin1String("fill"))
        return ImportFit::Fill;
    if (name == QLatin1String("stretch"))
        return ImportFit::Stretch;
    if (name == QLatin1String("none"))
        return ImportFit::OriginalSize;
    return std::nullopt;
}

std::optional<ImportDither> importDitherNamed(const QString &name)
{
    if (name == QLatin1String("none"))
        return ImportDither::None;
    if (name == QLatin1String("floyd-steinberg"))
        return ImportDither::FloydSteinberg;
    if (name == QLatin1String("atkinson"))
        return ImportDither::Atkinson;
    if (name == QLatin1String("ordered"))
        return ImportDither::Ordered;
    return std::nullopt;
}

QSize importTargetSize(bool halfHeight)
{
    return {Canvas::Width, halfHeight ? Canvas::Height / 2 : Canvas::Height};
}

PictureImport::PictureImport(const QString &fileName, ImportSource source, QSize target)
    : fileName_(fileName), source_(std::move(source)), target_(target)
{
    scaled_ = scalePicture(source_, options_.fit, target_);
    render();
}

PictureImport::PictureImport(const QImage &picture, QSize target)
    : PictureImport(QString(), importSourceFromImage(picture, target), target)
{
}

std::optional<PictureImport> PictureImport::open(const QString &fileName, QSize target, QString *error)
{
    std::optional<ImportSource> source = readImportSource(fileName, target, error);
    if (!source)
        return std::nullopt;
    return PictureImport(fileName, std::move(*source), target);
}

bool PictureImport::setOptions(const ImportOptions &options, QString *error)
{
    if (options.fit == ImportFit::OriginalSize && source_.window.isNull() &&
        !readImportWindow(fileName_, target_, source_, error))
        return false;
    const bool rescale = options.fit != options_.fit;
    options_ = options;
    if (rescale)
        scaled_ = scalePicture(source_, options_.fit, target_);
    render();
    return true;
}

void PictureImport::render()
{
    threshold_ = thresholdFor(scaled_, options_);
    picture_ = renderDots(scaled_, options_);
}

std::optional<QImage> importPicture(const QString &fileName, const ImportOptions &options, QSize target, QString *error)
{
    std::optional<PictureImport> import = PictureImport::open(fileName, target, error);
    if (!import || !import->setOptions(options, error))
        return std::nullopt;
    return import->picture();
}
