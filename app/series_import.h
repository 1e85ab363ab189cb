#pragma once

#include "import/picture_series.h"

#include <QFutureWatcher>
#include <QObject>

#include <memory>

// Reads a series as loadSeries does, on a worker thread, so the window
// answers meanwhile: progress as it goes, and a cancel that stops the
// reading before its next frame.
class SeriesImport : public QObject
{
    Q_OBJECT
public:
    struct Result
    {
        QStringList paths;
        std::optional<std::vector<SeriesFrame>> frames; // nothing when refused, the reason in error
        QString error;
    };

    using QObject::QObject;
    ~SeriesImport() override;

    void start(const QStringList &paths, const ImportOptions &options, QSize target);
    // The import in hand ends at once for the window: nothing of it comes,
    // and its thread stops before its next frame.
    void cancel();
    bool isRunning() const { return watcher_ != nullptr; }

signals:
    void progress(int percent, int frames);
    void finished(const SeriesImport::Result &result);

private:
    QFutureWatcher<Result> *watcher_ = nullptr;
};
