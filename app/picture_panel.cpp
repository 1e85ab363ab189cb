#include "app/picture_panel.h"

#include "app/canvas_history.h"
#include "app/canvas_view.h"
#include "app/control_factory.h"
#include "app/import_dialog.h"
#include "app/prompts.h"
#include "app/recent_pictures.h"
#include "canvas/display_height.h"
#include "canvas/drawing.h"
#include "canvas/kept_pictures.h"
#include "canvas/picture_file.h"
#include "text/file_kind.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
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
    makeEditActions();
    // The pen size runs its command on every change of the chosen entry,
    // by the user or by code: the load step relies on that.
    connect(penSizeCombo, &QComboBox::currentIndexChanged, this, &PicturePanel::onPenSizeChosen);
    connect(drawButton, &QPushButton::clicked, this, [this] { setPenMode(Canvas::Black); });
    connect(eraseButton, &QPushButton::clicked, this, [this] { setPenMode(Canvas::White); });
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
    // Exactly one shows pressed: what the left button does now (see
    // showPenMode; a button group would take the other out of the Tab order).
    drawButton->setCheckable(true);
    eraseButton->setCheckable(true);
    drawButton->setChecked(true);
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

void PicturePanel::holdDuringSend(bool held, const QString &why)
{
    if (held)
        hold_.hold({canvasView, displaySizeButton, penSizeCombo, drawButton, eraseButton, loadPictureButton,
                    clearCanvasButton},
                   {}, why);
    else
        hold_.release();
    held_ = held;
    heldReason_ = held ? why : QString();
    emit editingHeld(held);
}

void PicturePanel::setPenMode(QRgb colour)
{
    canvas_.setDrawColour(colour);
    // A click on the pressed one leaves it pressed.
    drawButton->setChecked(colour == Canvas::Black);
    eraseButton->setChecked(colour != Canvas::Black);
}

void PicturePanel::onPenSizeChosen()
{
    static constexpr int penSizeByIndex[] = {1, 2, 3, 4, 5, 10};
    const int index = penSizeCombo->currentIndex();
    if (index >= 0 && index < 6)
        canvas_.setPenSize(penSizeByIndex[index]);
    emit penSizeChosen(index);
}

int PicturePanel::penSizeIndex() const
{
    return penSizeCombo->currentIndex();
}

void PicturePanel::choosePenSize(int index)
{
    penSizeCombo->setCurrentIndex(index);
}

void PicturePanel::startStroke(Qt::MouseButton, Qt::KeyboardModifiers, double x, double y)
{
    strokeBefore_ = canvas_.pixels();
    positionLabel->show();
    canvas_.plotDot(x, y);
    penX_ = x;
    penY_ = y;
    penDown_ = true;
    showChange();
}

void PicturePanel::continueStroke(Qt::MouseButtons, Qt::KeyboardModifiers, double x, double y)
{
    if (!penDown_)
        return;
    plotStroke(canvas_, penX_, penY_, x, y);
    penX_ = x;
    penY_ = y;
    positionLabel->setText(positionCaption(x, y));
    showChange();
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
    showChange();
}

void PicturePanel::toggleDisplayHeight()
{
    const DisplayHeight next = toggledDisplayHeight(halfHeight_, canvasFullHeight_, 64);
    canvasView->setHeightTwips(next.outerHeightTwips);
    canvasView->setScaleHeight(next.scaleHeight);
    displaySizeButton->setText(next.caption);
    halfHeight_ = next.halfHeight;
    canvas_.setHalfHeight(next.halfHeight);
    showChange();
}

void PicturePanel::load()
{
    // The name is used exactly as typed: no trimming, no extension added.
    const QString name = prompts_.ask(FileNamePrompt, PictureFileTitle, QStringLiteral("kat.bmp"));
    if (!name.isEmpty())
        loadFile(name);
}

bool PicturePanel::isUnder(const QWidget *window, QPoint point) const
{
    return canvasView->rect().contains(canvasView->mapFrom(window, point));
}

void PicturePanel::loadFile(const QString &fileName)
{
    // Never read a FIFO or a device: the read could wait for ever.
    const std::optional<QImage> picture = isRegularFile(fileName) ? readPicture(fileName) : std::nullopt;
    if (!picture) {
        prompts_.message(QStringLiteral("File Not Found, make sure the path is correct."));
        return;
    }
    place(*picture, QStringLiteral("Load"));
    changed_ = false;
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
    else
        changed_ = false;
}

void PicturePanel::importPicture(const QString &fileName)
{
    const QString name =
        fileName.isEmpty() ? prompts_.openFileName(QStringLiteral("Import Picture"), pictureFileFilter()) : fileName;
    if (name.isEmpty())
        return;
    if (!isRegularFile(name)) {
        prompts_.message(QStringLiteral("Cannot read %1: not a file that can be read").arg(name));
        return;
    }
    RecentPictures recent;
    const std::optional<ImportDialog::Imported> imported =
        ImportDialog::run(canvasView->window(), prompts_, name, halfHeight_, &importOptions_, recent.list());
    if (!imported)
        return; // cancelled, or the file could not be read (the dialog said why)
    recent.add(imported->fileName);
    place(imported->picture, QStringLiteral("Import"));
}

void PicturePanel::place(const QImage &picture, const QString &what)
{
    const Canvas::Pixels before = canvas_.pixels();
    canvas_.placePicture(picture);
    recordChange(before, what);
    showChange();
}

void PicturePanel::showPixels(const Canvas::Pixels &pixels)
{
    canvas_.setPixels(pixels);
    showChange();
}

void PicturePanel::applyEdit(const Canvas::Pixels &before, const Canvas::Pixels &after, const QString &what)
{
    canvas_.setPixels(after);
    recordChange(before, what);
    showChange();
}

void PicturePanel::showChange()
{
    canvasView->update();
    emit pictureChanged();
}

void PicturePanel::recordChange(const Canvas::Pixels &before, const QString &what)
{
    if (before == canvas_.pixels())
        return;
    history_->push(new CanvasChange(canvas_, before, what, [this] { showChange(); }));
}

void PicturePanel::makeEditActions()
{
    // The keys are the window's (undo() and redo()); the menu only names them.
    undoAction_ = named(new QAction(this), "mnuUndo");
    redoAction_ = named(new QAction(this), "mnuRedo");
    connect(undoAction_, &QAction::triggered, history_, &QUndoStack::undo);
    connect(redoAction_, &QAction::triggered, history_, &QUndoStack::redo);
    // "Undo Clear", or "Undo" alone when there is nothing to undo.
    auto caption = [](const QString &verb, const QString &what, const QString &key) {
        return (what.isEmpty() ? verb : verb + QLatin1Char(' ') + what) + QLatin1Char('\t') + key;
    };
    auto name = [this, caption] {
        undoAction_->setText(caption(QStringLiteral("&Undo"), history_->undoText(), QStringLiteral("Ctrl+Z")));
        redoAction_->setText(caption(QStringLiteral("&Redo"), history_->redoText(), QStringLiteral("Ctrl+Y")));
        undoAction_->setEnabled(history_->canUndo());
        redoAction_->setEnabled(history_->canRedo());
    };
    connect(history_, &QUndoStack::indexChanged, this, [this, name] {
        changed_ = true;
        name();
    });
    name();
}

QString PicturePanel::keepIfChanged(const QString &folder)
{
    if (!changed_)
        return QString();
    changed_ = false; // the next end of the program keeps it no second time
    return KeptPictures(folder).keep(canvas_.canvasImage());
}

void PicturePanel::recover(const QString &folder)
{
    const QList<KeptPictures::Entry> kept = KeptPictures(folder).list();
    if (kept.isEmpty()) {
        prompts_.message(QStringLiteral("No picture has been kept yet."));
        return;
    }
    // Each shown small beside its time; a damaged one with its reason.
    QList<KeptPictures::Read> reads;
    QList<PictureEntry> entries;
    for (const KeptPictures::Entry &entry : kept) {
        reads << KeptPictures::read(entry.path);
        const QString time = QLocale().toString(entry.when.toLocalTime(), QLocale::LongFormat);
        entries << PictureEntry{time, reads.last().picture ? KeptPictures::thumbnail(*reads.last().picture) : QImage(),
                                reads.last().failure};
    }
    const int chosen = prompts_.choosePicture(QStringLiteral("Recover Picture"),
                                              QStringLiteral("Pictures kept when the program ended:"), entries);
    if (chosen < 0)
        return;
    const KeptPictures::Read &read = reads.at(chosen);
    if (read.picture)
        place(*read.picture, QStringLiteral("Recover Picture"));
    else
        prompts_.message(QStringLiteral("The picture kept %1 cannot be recovered: %2.\n%3")
                             .arg(entries.at(chosen).caption, read.failure, kept.at(chosen).path));
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
