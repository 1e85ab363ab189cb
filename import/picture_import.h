#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <optional>

// Importing any picture (PNG, JPEG, GIF, BMP, SVG, WebP, TIFF, ...; colour or
// grey; any size) as black dots for the display, in three steps:
//   1. read: the file as a grey picture over white (ImportSource);
//   2. scale: brought to the display's size by the fit (ScaledPicture);
//   3. render: threshold or dither, and invert, into black and white dots.
// A change of threshold, dither or invert re-runs only the third step.

// How the picture is brought to the display's size.
enum class ImportFit {
    Fit,         // all of it, aspect kept, white around
    Fill,        // covers the display, aspect kept, the overhang cut off evenly
    Stretch,     // to the display's size exactly
    OriginalSize // one picture pixel per dot, centred, nothing scaled
};

// How grey levels become dots.
enum class ImportDither {
    None,           // a dot where the level is below the threshold
    FloydSteinberg, // error diffusion, fine grain
    Atkinson,       // error diffusion that lets three quarters of the error on: more contrast
    Ordered         // the 8 x 8 Bayer pattern: regular, steady in animation
};

// The threshold is the grey level at which the picture turns from dots to
// white: without dithering levels below it become dots; with dithering it is
// the level drawn as half dots, while black stays solid and white clear.
struct ImportOptions
{
    ImportFit fit = ImportFit::Fit;
    bool autoThreshold = true; // Otsu's threshold of the part that is shown
    int threshold = 128;       // 0..255, used when autoThreshold is off
    ImportDither dither = ImportDither::None;
    bool invert = false; // swaps dots and white where the picture is opaque (margins and see-through parts stay white)

    friend bool operator==(const ImportOptions &a, const ImportOptions &b)
    {
        return a.fit == b.fit && a.autoThreshold == b.autoThreshold && a.threshold == b.threshold &&
               a.dither == b.dither && a.invert == b.invert;
    }
    friend bool operator!=(const ImportOptions &a, const ImportOptions &b) { return !(a == b); }
};

// The names the command line gives the choices: fit, fill, stretch, none
// (original size); none, floyd-steinberg, atkinson, ordered.
std::optional<ImportFit> importFitNamed(const QString &name);
std::optional<ImportDither> importDitherNamed(const QString &name);

// The display's size: 128 x 64, or 128 x 32 in the half-height mode.
QSize importTargetSize(bool halfHeight);

// Step 1: the picture as grey levels (Format_Grayscale8), transparent parts
// counted as white. Large pictures are kept reduced, a few grey pixels per
// display pixel; SVG drawings are rendered at such a size. A picture that is
// partly see-through also keeps how opaque each pixel is (Format_Grayscale8,
// 255 opaque, alongside the grey); for an opaque one the opacity is null.
struct ImportSource
{
    QSize size;     // the picture's own size in pixels, upright
    QImage grey;    // the whole picture, reduced or rendered
    QImage opacity; // of grey, or null
    QSizeF extent;  // the picture's size in grey pixels: the last row and column may be partly covered
    // The centre of the picture at one pixel per pixel, target-sized, white
    // beyond the picture's edges; for Original size. Null when the picture
    // was decoded reduced and the centre has not been read yet.
    QImage window;
    QImage windowOpacity; // of window, or null
};

// Reads a picture file for a display of the target size. On failure: nothing,
// and in error "Cannot read <file>: <reason>".
std::optional<ImportSource> readImportSource(const QString &fileName, QSize target, QString *error);
// Reads the source's window and its opacity at full resolution (for pictures
// decoded reduced). On failure the source is left as it was.
bool readImportWindow(const QString &fileName, QSize target, ImportSource &source, QString *error);
// A picture already in memory.
ImportSource importSourceFromImage(const QImage &picture, QSize target);

// Step 2: the picture at the target size by area averaging (each dot the mean
// of the grey pixels it covers); white where the picture does not reach.
struct ScaledPicture
{
    QImage grey;    // Format_Grayscale8, the target size
    QImage opacity; // the same, averaged from the source's opacity; null when the source has none
    QRect content;  // where the picture lies in it
};

// For OriginalSize the source's window must have been read.
ScaledPicture scalePicture(const ImportSource &source, ImportFit fit, QSize target);

// Otsu's method: the threshold (levels below it are dark) that best splits the
// area's levels into two classes. Where several do equally well, the middle
// one; 128 when the area has a single level or none.
int otsuThreshold(const QImage &grey, const QRect &area);

// The threshold the options give for this picture.
int thresholdFor(const ScaledPicture &scaled, const ImportOptions &options);

// Step 3: black (0, 0, 0) and white pixels only, Format_RGB32, the target size.
// Inverted, dots less than half opaque stay white.
QImage renderDots(const ScaledPicture &scaled, const ImportOptions &options);

// The three steps kept together, each re-run only when an option it depends
// on changes: the dialog's live preview.
class PictureImport
{
public:
    // Reads the file; nothing, and the reason in error, when it cannot.
    static std::optional<PictureImport> open(const QString &fileName, QSize target, QString *error);
    // A picture already in memory.
    PictureImport(const QImage &picture, QSize target);

    // Re-scales only when the fit changes, re-renders on any change. For
    // Original size a picture decoded reduced has its centre read from the
    // file again; when that fails the options stay as they were and error
    // says why.
    bool setOptions(const ImportOptions &options, QString *error = nullptr);

    const ImportOptions &options() const { return options_; }
    QSize targetSize() const { return target_; }
    const ImportSource &source() const { return source_; }
    const ScaledPicture &scaled() const { return scaled_; }
    int threshold() const { return threshold_; } // in effect, automatic or chosen
    // Black and white, the target size: what the canvas gets.
    const QImage &picture() const { return picture_; }

private:
    PictureImport(const QString &fileName, ImportSource source, QSize target);
    void render();

    QString fileName_;
    ImportSource source_;
    QSize target_;
    ImportOptions options_;
    ScaledPicture scaled_;
    int threshold_ = 128;
    QImage picture_;
};

// All three steps at once. The result is the target's size (128 x 32 in the
// half-height mode); Canvas::placePicture puts it at the top-left and
// whitens the rest, as Load does.
std::optional<QImage> importPicture(const QString &fileName, const ImportOptions &options, QSize target,
                                    QString *error);
