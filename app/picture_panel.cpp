#include "app/picture_panel.h"

#include "app/canvas_history.h"
#include "app/canvas_view.h"
#include "app/control_factory.h"
#include "app/import_dialog.h"
#include "app/prompts.h"
#include "canvas/display_height.h"
#include "canvas/drawing.h"
#include "canvas/picture_file.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUndoStack>
#include <cmath>

namespace {
const QString PictureFileTitle = QStringLiteral("Load BMP Image");

// Every picture format this Qt reads, for the file dialog.
QString pictureFileFilter()
{
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return QStringLiteral("Pictures (%1);;All files (*)").arg(patterns.join(QLatin1Char(' ')));
}

// The text box that has the focus, which keeps undo and redo for its text.
template <typename Box> Box *focusedBox()
{
    return qobject_cast<Box *>(QApplication::focusWidget());
}
} // namespace

PicturePanel::PicturePanel(QGroupBox *graphics, Prompts &prompts, QObject *parent)
    : QObject(parent), prompts_(prompts), history_(new QUndoStack(this))
{
    history_->setUndoLimit(200);
    buildControls(graphics);
    // The pen size runs its command on every change of the chosen entry,
    // by the user or by code: the load step relies on that.
    connect(penSizeCombo, &QComboBox::currentIndexChanged, this, &PicturePanel::onPenSizeChosen);
    connect(drawButton, &QPushButton::clicked, this, [this] { canvas_.setDrawColour(Canvas::Black); });
    connect(eraseButton, &QPushButton::clicked, this, [this] { canvas_.setDrawColour(Canvas::White); });
    connect(canvasView, &CanvasView::mousePressed, this, &PicturePanel::startStroke);
    connect(canvasView, &CanvasView::mouseMoved, this, &PicturePanel::continueStroke);
    connect(canvasView, &CanvasView::mouseReleased, this, &PicturePanel::endStroke);
    connect(clearCanvasButton, &QPushButton::clicked, this, &PicturePanel::clear);
    connect(displaySizeButton, &QPushButton::clicked, this, &PicturePanel::toggleDisplayHeight);
    connect(loadPictureButton, &QPushButton::clicked, this, &PicturePanel::load);
    connect(savePictureButton, &QPushButton::clicked, this, &PicturePanel::save);
}

void PicturePanel::buildControls(QGroupBox *graphics)
{
    positionLabel = label(graphics, "lblxy", QStringLiteral("X,Y Position"), {130, 14, 82, 14});
    positionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    positionLabel->hide();
    displaySizeButton = button(graphics, "btnsize", QStringLiteral("128x64"), {8, 14, 50, 17});
    displaySizeButton->setFont(serifFont(6, true));
    canvasView = named(new CanvasView(canvas_, graphics), "Picture1");
    canvasView->setGeometry(8, 34, 132, 68); // 1980 x 1020 twips, border included
    canvasView->setFixedSize(132, 68);
    auto *penSizeLabel = label(graphics, "Label4", QStringLiteral("Pen Size"), {146, 32, 64, 14});
    penSizeLabel->setAlignment(Qt::AlignCenter);
    penSizeCombo = make<QComboBox>(graphics, "Combo1", {146, 48, 64, 20});
    penSizeCombo->setEditable(false);
    const QStringList penSizes{QStringLiteral("x1"), QStringLiteral("x2"), QStringLiteral("x3"),
                               QStringLiteral("x4"), QStringLiteral("x5"), QStringLiteral("x10")};
    for (int i = 0; i < penSizes.size(); ++i)
        penSizeCombo->addItem(penSizes.at(i), i + 1);
    penSizeCombo->setCurrentIndex(-1);
    drawButton = button(graphics, "Command7", QStringLiteral("Draw"), {146, 72, 64, 22});
    eraseButton = button(graphics, "Command6", QStringLiteral("Erase"), {146, 98, 64, 22});
    savePictureButton = button(graphics, "Command8", QStringLiteral("Save"), {8, 124, 40, 22});
    loadPictureButton = button(graphics, "Command10", QStringLiteral("Load"), {104, 124, 38, 22});
    clearCanvasButton = button(graphics, "Command5", QStringLiteral("Clear"), {146, 124, 64, 22});
}

void PicturePanel::loadStartValues()
{
    penDown_ = false;
    penSizeCombo->setCurrentIndex(0);
    canvasFullHeight_ = static_cast<qint16>(std::nearbyint(canvasView->heightTwips()));
}

void PicturePanel::holdDuringSend(bool held)
{
    if (held)
        hold_.hold({canvasView, displaySizeButton, penSizeCombo, drawButton, eraseButton, loadPictureButton,
                    clearCanvasButton});
    else
        hold_.release();
}

void PicturePanel::onPenSizeChosen()
{
    static constexpr int penSizeByIndex[] = {1, 2, 3, 4, 5, 10};
    const int index = penSizeCombo->currentIndex();
    if (index >= 0 && index < 6)
        canvas_.setPenSize(penSizeByIndex[index]);
}

void PicturePanel::startStroke(Qt::MouseButton, Qt::KeyboardModifiers, double x, double y)
{
    strokeBefore_ = canvas_.pixels();
    positionLabel->show();
    canvas_.plotDot(x, y);
    penX_ = x;
    penY_ = y;
    penDown_ = true;
    canvasView->update();
}

void PicturePanel::continueStroke(Qt::MouseButtons, Qt::KeyboardModifiers, double x, double y)
{
    if (!penDown_)
        return;
    plotStroke(canvas_, penX_, penY_, x, y);
    penX_ = x;
    penY_ = y;
    positionLabel->setText(positionCaption(x, y));
    canvasView->update();
}

void PicturePanel::endStroke()
{
    positionLabel->hide();
    if (penDown_)
        recordChange(strokeBefore_, QStringLiteral("Stroke"));
    penDown_ = false;
}

void PicturePanel::clear()
{
    const Canvas::Pixels before = canvas_.pixels();
    canvas_.clearCanvas();
    recordChange(before, QStringLiteral("Clear"));
    canvasView->update();
}

void PicturePanel::toggleDisplayHeight()
{
    const DisplayHeight next = toggledDisplayHeight(halfHeight_, canvasFullHeight_, 64);
    canvasView->setHeightTwips(next.outerHeightTwips);
    canvasView->setScaleHeight(next.scaleHeight);
    displaySizeButton->setText(next.caption);
    halfHeight_ = next.halfHeight;
    canvas_.setHalfHeight(next.halfHeight);
    canvasView->update();
}

void PicturePanel::load()
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
    place(*picture, QStringLiteral("Load"));
}

void PicturePanel::save()
{
    const QString name = prompts_.ask(FileNamePrompt, PictureFileTitle, QStringLiteral("test.bmp"));
    if (name.isEmpty())
        return;
    // All 64 rows are written, also in 128x32 mode: the hidden rows are kept.
    const QString failure = writeBmp(canvas_.canvasImage(), name);
    if (!failure.isEmpty())
        prompts_.message(SaveErrorPrefix + failure);
}

void PicturePanel::importPicture()
{
    const QString name = prompts_.openFileName(QStringLiteral("Import Picture"), pictureFileFilter());
    if (name.isEmpty())
        return;
    const std::optional<QImage> picture =
        ImportDialog::run(canvasView->window(), prompts_, name, halfHeight_, &importOptions_);
    if (picture) // nothing when cancelled, or the file could not be read (the dialog said why)
        place(*picture, QStringLiteral("Import"));
}

void PicturePanel::place(const QImage &picture, const QString &what)
{
    const Canvas::Pixels before = canvas_.pixels();
    canvas_.placePicture(picture);
    recordChange(before, what);
    canvasView->update();
}

void PicturePanel::recordChange(const Canvas::Pixels &before, const QString &what)
{
    if (before == canvas_.pixels())
        return;
    history_->push(new CanvasChange(canvas_, before, what, [this] { canvasView->update(); }));
}

void PicturePanel::undo()
{
    if (focusedBox<QLineEdit>() || focusedBox<QPlainTextEdit>())
        return; // the box has taken Ctrl+Z itself
    history_->undo();
}

void PicturePanel::redo()
{
    // Ctrl+Y is no redo key of a text box here; in a box it redoes the text.
    if (auto *line = focusedBox<QLineEdit>())
        line->redo();
    else if (auto *box = focusedBox<QPlainTextEdit>())
        box->redo();
    else
        history_->redo();
}
