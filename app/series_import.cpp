#include "app/series_import.h"

#include <QPromise>
#include <QtConcurrent>

namespace {

void read(QPromise<SeriesImport::Result> &promise, const QStringList &paths, const ImportOptions &options, QSize target)
{
    SeriesLoadWatch watch;
    watch.cancelled = [&promise] { return promise.isCanceled(); };
    watch.progress = [&promise](double done, int frames) {
        promise.setProgressValueAndText(int(done * 100), QString::number(frames));
    };
    promise.setProgressRange(0, 100);
    SeriesImport::Result result{paths, std::nullopt, QString()};
    result.frames = loadSeries(paths, options, target, &result.error, MaxAnimationPixels, watch);
    promise.addResult(std::move(result));
}

} // namespace

SeriesImport::~SeriesImport()
{
    cancel();
}

void SeriesImport::start(const QStringList &paths, const ImportOptions &options, QSize target)
{
    cancel();
    watcher_ = new QFutureWatcher<Result>(this);
    connect(watcher_, &QFutureWatcherBase::progressValueChanged, this,
            [this](int percent) { emit progress(percent, watcher_->progressText().toInt()); });
    connect(watcher_, &QFutureWatcherBase::finished, this, [this] {
        const Result result = watcher_->future().result();
        watcher_->deleteLater();
        watcher_ = nullptr;
        emit finished(result);
    });
    // Copies for the thread: nothing of the window is read there.
    watcher_->setFuture(QtConcurrent::run(read, paths, options, target));
}

void SeriesImport::cancel()
{
    if (!watcher_)
        return;
    // The thread sees the cancel before its next frame and ends by itself;
    // what it had read goes with it.
    watcher_->disconnect(this);
    watcher_->future().cancel();
    watcher_->deleteLater();
    watcher_ = nullptr;
}
