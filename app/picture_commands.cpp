// The picture: the pen, strokes on the canvas, Clear, the 128x64 / 128x32
// view, loading and saving the canvas as a BMP file, Import, Picture from
// Text, and undo and redo of every change of the picture.

#include "app/main_window.h"

#include "app/canvas_history.h"
#include "app/import_dialog.h"
#include "app/prompts.h"
#include "canvas/canvas_view.h"
#include "canvas/display_height.h"
#include "canvas/drawing.h"
#include "canvas/picture_file.h"
#include "convert/picture_text.h"

#include <QApplication>
#include <QComboBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUndoStack>

namespace {
const QString PictureFileTitle = QStringLiteral("Load BMP Image");
} // namespace

void MainWindow::onPenSizeChosen()
{
    static constexpr int penSizeByIndex[] = {1, 2, 3, 4, 5, 10};
    const int index = penSizeCombo->currentIndex();
    if (index >= 0 && index < 6)
        canvas_.setPenSize(penSizeByIndex[index]);
}

void MainWindow::selectDrawPen()
{
    canvas_.setDrawColour(Canvas::Black);
}

void MainWindow::selectErasePen()
{
    canvas_.setDrawColour(Canvas::White);
}

void MainWindow::startStroke(Qt::MouseButton, Qt::KeyboardModifiers, double x, double y)
{
    strokeBefore_ = canvas_.pixels();
    positionLabel->show();
    canvas_.plotDot(x, y);
    penX_ = x;
    penY_ = y;
    state_.penDown = true;
    canvasView->update();
}

void MainWindow::continueStroke(Qt::MouseButtons, Qt::KeyboardModifiers, double x, double y)
{
    if (!state_.penDown)
        return;
    plotStroke(canvas_, penX_, penY_, x, y);
    penX_ = x;
    penY_ = y;
    positionLabel->setText(positionCaption(x, y));
    canvasView->update();
}

void MainWindow::endStroke(Qt::MouseButton, Qt::KeyboardModifiers, double, double)
{
    positionLabel->hide();
    if (state_.penDown)
        recordCanvasChange(strokeBefore_, QStringLiteral("Stroke"));
    state_.penDown = false;
}

void MainWindow::clearCanvas()
{
    const Canvas::Pixels before = canvas_.pixels();
    canvas_.clearCanvas();
    recordCanvasChange(before, QStringLiteral("Clear"));
    canvasView->update();
}

void MainWindow::toggleDisplayHeight()
{
    const DisplayHeight next = toggledDisplayHeight(state_.halfHeight, state_.canvasFullHeight, state_.imageHeight);
    canvasView->setHeightTwips(next.outerHeightTwips);
    canvasView->setScaleHeight(next.scaleHeight);
    displaySizeButton->setText(next.caption);
    state_.halfHeight = next.halfHeight;
    canvas_.setHalfHeight(next.halfHeight);
    canvasView->update();
}

void MainWindow::loadPicture()
{
    // The name is used exactly as typed: no trimming, no extension added.
    const QString name = prompts_.ask(FileNamePrompt, PictureFileTitle, QStringLiteral("kat.bmp"));
    if (name.isEmpty())
        return;
    const std::optional<QImage> picture = readPicture(name);
    if (!picture) {
        prompts_.message(QStringLiteral("File Not Found, make sure the path is correct."));
        return;
    }
    const Canvas::Pixels before = canvas_.pixels();
    canvas_.placePicture(*picture);
    recordCanvasChange(before, QStringLiteral("Load"));
    canvasView->update();
}

namespace {
// Every picture format this Qt reads, for the file dialog.
QString pictureFileFilter()
{
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return QStringLiteral("Pictures (%1);;All files (*)").arg(patterns.join(QLatin1Char(' ')));
}
} // namespace

void MainWindow::importPictureFile()
{
    const QString name = prompts_.openFileName(QStringLiteral("Import Picture"), pictureFileFilter());
    if (name.isEmpty())
        return;
    const std::optional<QImage> picture = ImportDialog::run(this, prompts_, name, state_.halfHeight, &importOptions_);
    if (!picture)
        return; // cancelled, or the file could not be read (the dialog said why)
    const Canvas::Pixels before = canvas_.pixels();
    canvas_.placePicture(*picture);
    recordCanvasChange(before, QStringLiteral("Import"));
    canvasView->update();
}

void MainWindow::pictureFromText()
{
    const OutputFormat format{headerEdit->text(), footerEdit->text(), delimiterEdit->text(), formatEdit->text()};
    QString message;
    const std::optional<TextPicture> read =
        readPictureText(outputText->toPlainText(), format, state_.horizontalBytes, &message);
    if (!read) {
        prompts_.message(message); // what was found; the canvas stays as it is
        return;
    }
    const Canvas::Pixels before = canvas_.pixels();
    canvas_.placePicture(pictureFromByteMatrix(read->matrix));
    recordCanvasChange(before, QStringLiteral("Picture from Text"));
    canvasView->update();
}

void MainWindow::recordCanvasChange(const Canvas::Pixels &before, const QString &what)
{
    if (before == canvas_.pixels())
        return;
    canvasHistory_->push(new CanvasChange(canvas_, before, what, [this] { canvasView->update(); }));
}

namespace {
// The text box that has the focus, which keeps undo and redo for its text.
template <typename Box> Box *focusedBox()
{
    return qobject_cast<Box *>(QApplication::focusWidget());
}
} // namespace

void MainWindow::undoCanvasChange()
{
    if (focusedBox<QLineEdit>() || focusedBox<QPlainTextEdit>())
        return; // the box has taken Ctrl+Z itself
    canvasHistory_->undo();
}

void MainWindow::redoCanvasChange()
{
    // Ctrl+Y is no redo key of a text box here; in a box it redoes the text.
    if (auto *line = focusedBox<QLineEdit>())
        line->redo();
    else if (auto *box = focusedBox<QPlainTextEdit>())
        box->redo();
    else
        canvasHistory_->redo();
}

void MainWindow::savePicture()
{
    const QString name = prompts_.ask(FileNamePrompt, PictureFileTitle, QStringLiteral("test.bmp"));
    if (name.isEmpty())
        return;
    // All 64 rows are written, also in 128x32 mode: the hidden rows are kept.
    const QString failure = writeBmp(canvas_.canvasImage(), name);
    if (!failure.isEmpty())
        prompts_.message(SaveErrorPrefix + failure);
}
