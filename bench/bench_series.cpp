// A series of pictures.
//
// BM_PrepareGif640x480x100 reads an animated GIF of 100 frames of 640 x 480
// (grain over a moving circle, stored uncompressed) and brings every frame
// to the display with Floyd-Steinberg dithering, as the Series window and
// voxcel-convert --series do (target: 1 s or less).
//
// BM_SeriesSend sends 3 frames twice (buffer 128, xmit delay 20 ms, holds
// of 100 ms) with the real port layer at 9600 baud into a pseudo-terminal,
// as voxcel-convert --series --send does, and sets the time it took against
// the line's time for every character plus the delays and the holds
// (target: within 1 %). BM_SeriesSendWindow does the same through the
// Series window, its frames sent by a port session on its own thread and
// its holds kept by the window's timer.

#include "app/picture_document.h"
#include "app/series_window.h"
#include "convert/series_text.h"
#include "event_loop_wait.h"
#include "import/picture_series.h"
#include "qt_bench_main.h"
#include "serial/port_session.h"
#include "serial/qt_serial_port.h"
#include "serial/series_plan.h"
#include "support/gif_writer.h"
#include "support/pty_pair.h"
#include "support/scripted_prompts.h"

#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QImage frameOf(int k)
{
    QImage frame(640, 480, QImage::Format_Grayscale8);
    quint32 seed = 77u + quint32(k);
    for (int y = 0; y < frame.height(); ++y) {
        uchar *line = frame.scanLine(y);
        for (int x = 0; x < frame.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int dx = x - 100 - 4 * k, dy = y - 240;
            const int base = dx * dx + dy * dy < 120 * 120 ? 40 : (x + y) * 255 / 1120;
            line[x] = uchar(qBound(0, base + int(seed >> 28) - 8, 255));
        }
    }
    return frame;
}

void BM_PrepareGif640x480x100(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString gif = dir.filePath(QStringLiteral("walk.gif"));
    QList<QImage> frames;
    for (int k = 0; k < 100; ++k)
        frames << frameOf(k);
    if (!writeGreyGif(gif, frames, QList<int>(100, 40)))
        return state.SkipWithError("cannot write the GIF");
    ImportOptions options;
    options.dither = ImportDither::FloydSteinberg;
    for (auto _ : state) {
        QString error;
        const auto series = loadSeries({gif}, options, importTargetSize(false), &error);
        if (!series || series->size() != 100)
            return state.SkipWithError(qPrintable(error));
        benchmark::DoNotOptimize(series);
    }
}
BENCHMARK(BM_PrepareGif640x480x100)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SeriesSend(benchmark::State &state)
{
    std::vector<QImage> pictures;
    for (int k = 0; k < 3; ++k)
        pictures.push_back(importSeriesFrame(frameOf(k * 30), ImportOptions(), importTargetSize(false)));
    QString error;
    const auto prefixes = seriesPrefixes(false, 128, QStringLiteral("0"), 10, 3, 1024, &error);
    const SeriesTextSettings text{0, OutputFormat(), ByteMatrix::Pages, 128, QStringLiteral("]")};
    const SeriesSendPlan plan{seriesTransmissionTexts(pictures, text, *prefixes), QStringLiteral("]"), 20, 100, 2};

    PtyPair pair;
    pair.startReading();
    qputenv("VOXCEL_COM1", pair.slavePath().toLocal8Bit());
    QtSerialPort port;
    port.setCommPort(1);
    port.setSettings(QStringLiteral("9600,n,8,1"));
    port.setOpen(true);
    const double expected = std::chrono::duration<double>(seriesSendTime(plan, port.characterTime())).count();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const SeriesSendResult result = sendSeriesPaced(plan, port);
        const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (result.last.end != PacedSendResult::End::Sent)
            return state.SkipWithError("the send did not end as sent");
        state.counters["took_s"] = took;
        state.counters["line_s"] = expected;
        state.counters["over_percent"] = 100.0 * (took - expected) / expected;
    }
    port.setOpen(false);
}
BENCHMARK(BM_SeriesSend)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_SeriesSendWindow(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString gif = dir.filePath(QStringLiteral("three.gif"));
    if (!writeGreyGif(gif, {frameOf(0), frameOf(30), frameOf(60)}, {100, 100, 100}))
        return state.SkipWithError("cannot write the GIF");
    PtyPair pair;
    pair.startReading();
    qputenv("VOXCEL_COM1", pair.slavePath().toLocal8Bit());
    PortSession session([] { return std::make_unique<QtSerialPort>(); });
    bool open = false;
    QObject::connect(&session, &PortSession::opened, [&open] { open = true; });
    session.open(1, QStringLiteral("9600,n,8,1"));
    if (!runEventLoopUntil([&open] { return open; }, 10000))
        return state.SkipWithError("the port did not open");

    PictureDocument picture;
    SeriesHost host;
    host.settings = [] {
        SeriesHost::Settings s;
        s.startAddressText = QStringLiteral("0");
        s.picBuffer = s.text.picBuffer = 128;
        s.xmitDelayMs = 20;
        s.characterTime = characterTime(LineSettings());
        return s;
    };
    host.portOpen = [] { return true; };
    host.picture = &picture;
    host.holdWindow = [](bool) {};
    ScriptedPrompts prompts;
    SeriesWindow window(host, session, prompts, nullptr);
    window.loadPaths({gif});
    if (!runEventLoopUntil([&window] { return !window.isImporting(); }, 60000))
        return state.SkipWithError("the import did not end");
    window.findChild<QSpinBox *>(QStringLiteral("seriesHold"))->setValue(100);
    window.findChild<QSpinBox *>(QStringLiteral("seriesLoops"))->setValue(2);
    std::vector<QImage> pictures;
    for (int k : {0, 30, 60})
        pictures.push_back(importSeriesFrame(frameOf(k), picture.importOptions(), importTargetSize(false)));
    const SeriesTextSettings text{0, OutputFormat(), ByteMatrix::Pages, 128, QStringLiteral("]")};
    const QStringList prefixes(3, QStringLiteral("*08000000A"));
    const SeriesSendPlan plan{seriesTransmissionTexts(pictures, text, prefixes), QStringLiteral("]"), 20, 100, 2};
    const double expected = std::chrono::duration<double>(seriesSendTime(plan, host.settings().characterTime)).count();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        window.findChild<QPushButton *>(QStringLiteral("seriesSend"))->click();
        if (!runEventLoopUntil([&window] { return !window.isSending(); }, 60000))
            return state.SkipWithError("the send did not end");
        const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!prompts.messages.isEmpty())
            return state.SkipWithError(qPrintable(prompts.messages.join(QLatin1Char('|'))));
        state.counters["took_s"] = took;
        state.counters["line_s"] = expected;
        state.counters["over_percent"] = 100.0 * (took - expected) / expected;
    }
}
BENCHMARK(BM_SeriesSendWindow)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv);
}
