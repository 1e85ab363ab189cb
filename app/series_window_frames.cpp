// The Series window's frames: loading them off the GUI thread, showing,
// arranging and deleting them.
#include "app/series_window.h"

#include "app/import_dialog.h"
#include "app/picture_document.h"
#include "app/prompts.h"
#include "app/recent_pictures.h"
#include "app/series_import.h"
#include "app/series_player.h"

#include <QFileInfo>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

namespace {

// A frame as the strip shows it: at the display's resolution, framed so
// that its white shows against the strip's.
QIcon thumbnail(const QImage &picture)
{
    QPixmap framed(picture.size() + QSize(2, 2));
    framed.fill(Qt::darkGray);
    QPainter painter(&framed);
    painter.drawImage(1, 1, picture);
    return QIcon(framed);
}

const QString PictureFilter =
    QStringLiteral("Pictures (*.gif *.png *.bmp *.jpg *.jpeg *.webp *.tif *.tiff *.svg);;All files (*)");

} // namespace

// The Import dialog shows the first frame of the chosen file with the
// options every frame then gets; Cancel adds nothing.
void SeriesWindow::load()
{
    const QString file = prompts_.openFileName(QStringLiteral("Load a Series"), PictureFilter);
    if (file.isEmpty())
        return;
    const std::optional<ImportDialog::Imported> chosen = ImportDialog::run(
        this, prompts_, file, host_.picture->isHalfHeight(), &host_.picture->importOptions(), RecentPictures().list());
    if (chosen)
        loadPaths({chosen->fileName});
}

void SeriesWindow::loadPaths(const QStringList &paths)
{
    stopPlay();
    hold_.setEnabled(loadButton, false);
    hold_.setEnabled(folderButton, false);
    cancelImportButton->show();
    importProgress->setValue(0);
    importProgress->show();
    timeText->setText(QStringLiteral("Importing..."));
    importer->start(paths, host_.picture->importOptions(), importTargetSize(host_.picture->isHalfHeight()));
}

bool SeriesWindow::isImporting() const
{
    return importer->isRunning();
}

void SeriesWindow::cancelImport()
{
    if (!importer->isRunning())
        return;
    importer->cancel();
    endImport();
}

void SeriesWindow::endImport()
{
    cancelImportButton->hide();
    importProgress->hide();
    hold_.setEnabled(loadButton, true);
    hold_.setEnabled(folderButton, true);
    showEstimate();
}

void SeriesWindow::imported(const QStringList &paths, std::optional<std::vector<SeriesFrame>> loaded, QString error)
{
    endImport();
    if (loaded && frames_.size() + loaded->size() > std::size_t(MaxSeriesFrames)) {
        loaded.reset();
        error = QStringLiteral("A series holds at most %1 frames").arg(MaxSeriesFrames);
    }
    if (!loaded) {
        prompts_.message(error);
        return;
    }
    RecentPictures recent;
    for (const QString &path : paths)
        if (QFileInfo(path).isFile())
            recent.add(path);
    const bool first = frames_.empty();
    frames_.insert(frames_.end(), loaded->begin(), loaded->end());
    if (first) {
        std::vector<int> delays;
        for (const SeriesFrame &frame : frames_)
            delays.push_back(frame.delayMs);
        holdBox->setValue(defaultSeriesHoldMs(delays));
    }
    showFrames();
}

void SeriesWindow::showFrames()
{
    stopPlay(); // it plays the frames as they were
    const int row = currentRow();
    frameStrip->clear();
    for (std::size_t k = 0; k < frames_.size(); ++k) {
        auto *item = new QListWidgetItem(thumbnail(frames_[k].picture), QString::number(k + 1));
        item->setToolTip(frames_[k].source);
        frameStrip->addItem(item);
    }
    frameStrip->setCurrentRow(std::min(std::max(row, 0), int(frames_.size()) - 1));
    showEstimate();
}

void SeriesWindow::stopPlay()
{
    player->stop();
    showSelected();
}

void SeriesWindow::showSelected()
{
    const int row = currentRow();
    if (row >= 0 && row < int(frames_.size()))
        preview->setPixmap(seriesPreview(frames_[std::size_t(row)].picture));
    else
        preview->clear();
}

int SeriesWindow::currentRow() const
{
    return frameStrip->currentRow();
}

void SeriesWindow::moveFrame(int by)
{
    const int from = currentRow();
    const int to = from + by;
    if (from < 0 || to < 0 || to >= int(frames_.size()))
        return;
    std::swap(frames_[std::size_t(from)], frames_[std::size_t(to)]);
    showFrames();
    frameStrip->setCurrentRow(to);
}

void SeriesWindow::deleteFrames()
{
    std::vector<int> rows;
    for (const QModelIndex &index : frameStrip->selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    if (rows.empty() && currentRow() >= 0)
        rows.push_back(currentRow());
    if (rows.empty())
        return;
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (const int row : rows)
        frames_.erase(frames_.begin() + row);
    // The frame after the first deleted one takes the selection.
    showFrames();
    frameStrip->setCurrentRow(std::min(rows.back(), int(frames_.size()) - 1));
}

void SeriesWindow::putOnCanvas()
{
    const int row = currentRow();
    if (row >= 0)
        host_.picture->place(frames_[std::size_t(row)].picture, QStringLiteral("Series frame %1").arg(row + 1));
}
