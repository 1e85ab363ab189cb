// The LCD View: a full repaint of the enlarged canvas at 16x with the grid
// (target: 4 ms or less; also after a change of the picture), and the text preview brought up to date after a
// change of the text, 20 characters (target: 2 ms or less): rendering the
// dots, putting them on a copy of the picture and handing it to the view.
#include "app/lcd_canvas.h"
#include "canvas/lcd_editing.h"
#include "canvas/lcd_text.h"
#include "canvas/shapes.h"
#include "qt_bench_main.h"

#include <benchmark/benchmark.h>

namespace {

// A picture with dots all over: every other row of a checkerboard.
Canvas busyPicture()
{
    Canvas picture;
    for (int y = 0; y < Canvas::Height; y += 2)
        for (int x = y % 4; x < Canvas::Width; x += 2)
            picture.paintPixel(x, y, Canvas::Black);
    paintDots(picture, shapeDots(Shape::Ellipse, {10, 5}, {120, 60}), Canvas::Black);
    return picture;
}

void BM_RepaintAt16xWithGrid(benchmark::State &state)
{
    LcdCanvas view;
    view.setZoom(16);
    view.setGrid(true);
    view.showPicture(busyPicture());
    view.show();
    QCoreApplication::processEvents();
    for (auto _ : state)
        view.repaint();
}

// A change of the picture: the enlarged picture made again and painted.
void BM_RedrawChangeAt16xWithGrid(benchmark::State &state)
{
    const Canvas picture = busyPicture();
    LcdCanvas view;
    view.setZoom(16);
    view.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        view.showPicture(picture);
        view.repaint();
    }
}

void textPreview(benchmark::State &state, const QString &font)
{
    const Canvas picture = busyPicture();
    LcdCanvas view;
    LcdEditing editing;
    editing.setTool(picture, LcdTool::Text);
    editing.moveTo({3, 20}, false);
    const QString text = QStringLiteral("Pump 2: 1450 rpm OK.");
    view.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        editing.setTextDots(renderLcdText(text, {font, 12, false}));
        view.showPicture(*editing.preview(picture));
        if (state.range(0))
            view.repaint();
    }
}

void BM_TextPreviewBuiltInFont(benchmark::State &state)
{
    textPreview(state, BuiltInLcdFont);
}

void BM_TextPreviewInstalledFont(benchmark::State &state)
{
    textPreview(state, lcdFontNames().value(1));
}

BENCHMARK(BM_RepaintAt16xWithGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawChangeAt16xWithGrid)->Unit(benchmark::kMillisecond);
// Argument 1: with the repaint at the view's first zoom, 8x.
BENCHMARK(BM_TextPreviewBuiltInFont)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextPreviewInstalledFont)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv);
}
