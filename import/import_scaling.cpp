// Step 2 of the picture import: the grey picture brought to the display's
// size by the fit.

#include "import/picture_import.h"

#include "import/import_internal.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Along one side: the grey pixels each target pixel covers and how much of
// each, for the span [from, from + length) of grey pixels spread over count
// target pixels. Coverage beyond the picture's extent does not count.
struct BoxTaps
{
    std::vector<int> first; // per target pixel: its first grey pixel
    std::vector<int> begin; // per target pixel: its first weight in weight
    std::vector<int> count;
    std::vector<float> weight;
};

BoxTaps boxTaps(double from, double length, int count, double extent)
{
    BoxTaps taps;
    const double step = length / count;
    for (int i = 0; i < count; ++i) {
        const double a = std::max(0.0, from + i * step);
        const double b = std::min(extent, from + (i + 1) * step);
        const int first = static_cast<int>(std::floor(a));
        const int end = std::max(first, static_cast<int>(std::ceil(b)));
        taps.first.push_back(first);
        taps.begin.push_back(static_cast<int>(taps.weight.size()));
        taps.count.push_back(end - first);
        for (int j = first; j < end; ++j)
            taps.weight.push_back(static_cast<float>((std::min(b, j + 1.0) - std::max(a, double(j))) / (b - a)));
    }
    return taps;
}

// Area-averages the picture `in` by the taps into the rectangle `to` of out:
// horizontally into a float buffer, then vertically.
void resample(const QImage &in, const BoxTaps &across, const BoxTaps &down, QImage &out, const QRect &to)
{
    const int firstRow = down.first.front();
    const int endRow = down.first.back() + down.count.back();
    const std::size_t w = static_cast<std::size_t>(to.width());
    std::vector<float> rows(static_cast<std::size_t>(std::max(0, endRow - firstRow)) * w);
    for (int y = firstRow; y < endRow; ++y) {
        const uchar *line = in.constScanLine(y);
        float *row = rows.data() + static_cast<std::size_t>(y - firstRow) * w;
        for (std::size_t i = 0; i < w; ++i) {
            const float *weight = across.weight.data() + across.begin[i];
            const uchar *level = line + across.first[i];
            float sum = 0;
            for (int k = 0; k < across.count[i]; ++k)
                sum += weight[k] * level[k];
            row[i] = sum;
        }
    }
    for (int j = 0; j < to.height(); ++j) {
        uchar *line = out.scanLine(to.y() + j) + to.x();
        const float *weight = down.weight.data() + down.begin[static_cast<std::size_t>(j)];
        const float *row =
            rows.data() + static_cast<std::size_t>(down.first[static_cast<std::size_t>(j)] - firstRow) * w;
        const int taps = down.count[static_cast<std::size_t>(j)];
        for (std::size_t i = 0; i < w; ++i) {
            float sum = 0;
            for (int k = 0; k < taps; ++k)
                sum += weight[k] * row[static_cast<std::size_t>(k) * w + i];
            line[i] = static_cast<uchar>(std::clamp(std::lround(sum), 0L, 255L));
        }
    }
}

} // namespace

ScaledPicture scalePicture(const ImportSource &source, ImportFit fit, QSize target)
{
    ScaledPicture scaled;
    scaled.grey = whiteGrey(target);
    if (source.size.isEmpty() || source.grey.isNull())
        return scaled;
    if (fit == ImportFit::OriginalSize) {
        Q_ASSERT(!source.window.isNull());
        if (!source.window.isNull()) {
            scaled.grey = source.window;
            scaled.opacity = source.windowOpacity;
        }
        scaled.content = QRect(-windowOrigin(source.size, target), source.size) & QRect(QPoint(), target);
        return scaled;
    }

    const double w = source.size.width();
    const double h = source.size.height();
    const double tw = target.width();
    const double th = target.height();
    const QRectF whole(QPointF(), source.extent);
    QRectF from = whole;
    scaled.content = QRect(QPoint(), target);
    if (fit == ImportFit::Fit) {
        const double scale = std::min(tw / w, th / h);
        const int cw = std::clamp(int(std::lround(w * scale)), 1, target.width());
        const int ch = std::clamp(int(std::lround(h * scale)), 1, target.height());
        scaled.content = QRect((target.width() - cw) / 2, (target.height() - ch) / 2, cw, ch);
    } else if (fit == ImportFit::Fill) {
        // The part of the picture the display shows, in grey pixels.
        const double scale = std::max(tw / w, th / h);
        const double kx = source.extent.width() / w;
        const double ky = source.extent.height() / h;
        const double vw = tw / scale;
        const double vh = th / scale;
        from = QRectF((w - vw) / 2 * kx, (h - vh) / 2 * ky, vw * kx, vh * ky);
    }
    const QRect &to = scaled.content;
    const BoxTaps across = boxTaps(from.x(), from.width(), to.width(), source.extent.width());
    const BoxTaps down = boxTaps(from.y(), from.height(), to.height(), source.extent.height());
    resample(source.grey, across, down, scaled.grey, to);
    if (!source.opacity.isNull()) {
        scaled.opacity = filledGrey(target, SeeThrough);
        resample(source.opacity, across, down, scaled.opacity, to);
    }
    return scaled;
}
