#include "app/picture_panel.h"

#include "app/canvas_view.h"
#include "app/control_factory.h"
#include "app/import_dialog.h"
#include "app/picture_document.h"
#include "app/prompts.h"
#include "app/recent_pictures.h"
#include "canvas/display_height.h"
#include "canvas/drawing.h"
#include "canvas/kept_pictures.h"
#include "text/file_kind.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
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
} // namespace

PicturePanel::PicturePanel(QGroupBox *graphics, PictureDocument &picture, Prompts &prompts, QObject *parent)
    : QObject(parent), picture_(picture), prompts_(prompts)
{
    buildControls(graphics);
    makeEditActions();
    // The pen size runs its command on every change of the chosen entry,
    // by the user or by code: the load step relies on that.
    connect(penSizeCombo, &QComboBox::currentIndexChanged, &picture_, &PictureDocument::choosePenSize);
    connect(&picture_, &PictureDocument::penSizeChosen, penSizeCombo, &QComboBox::setCurrentIndex);
    connect(drawButton, &QPushButton::clicked, this, [this] { setPenMode(Canvas::Black); });
    connect(eraseButton, &QPushButton::clicked, this, [this] { setPenMode(Canvas::White); });
    connect(canvasView, &CanvasView::mousePressed, this, &PicturePanel::startStroke);
    connect(canvasView, &CanvasView::mouseMoved, this, &PicturePanel::continueStroke);
    connect(canvasView, &CanvasView::mouseReleased, this, &PicturePanel::endStroke);
    connect(clearCanvasButton, &QPushButton::clicked, &picture_, &PictureDocument::clear);
    connect(displaySizeButton, &QPushButton::clicked, this, &PicturePanel::toggleDisplayHeight);
    connect(loadPictureButton, &QPushButton::clicked, this, &PicturePanel::load);
    connect(savePictureButton, &QPushButton::clicked, this, &PicturePanel::save);
    connect(&picture_, &PictureDocument::pictureChanged, canvasView, qOverload<>(&QWidget::update));
    connect(&picture_, &PictureDocument::heldChanged, this, &PicturePanel::holdDuringSend);
}

void PicturePanel::buildControls(QGroupBox *graphics)
{
    positionLabel = label(graphics, Control::CanvasPosition, QStringLiteral("X,Y Position"));
    positionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    positionLabel->hide();
    displaySizeButton = button(graphics, Control::DisplaySize, QStringLiteral("128x64"));
    displaySizeButton->setFont(serifFont(6, true));
    canvasView = named(new CanvasView(picture_.canvas(), graphics), controlName(Control::Canvas));
    canvasView->setGeometry(entryIn(graphics, Control::Canvas).geometry);
    canvasView->setFixedSize(canvasView->size());
    auto *penSizeLabel = label(graphics, Control::PenSizeLabel, QStringLiteral("Pen Size"));
    penSizeLabel->setAlignment(Qt::AlignCenter);
    penSizeCombo = make<QComboBox>(graphics, Control::PenSize);
    penSizeCombo->setEditable(false);
    const QStringList penSizes{QStringLiteral("x1"), QStringLiteral("x2"), QStringLiteral("x3"),
                               QStringLiteral("x4"), QStringLiteral("x5"), QStringLiteral("x10")};
    for (int i = 0; i < penSizes.size(); ++i)
        penSizeCombo->addItem(penSizes.at(i), i + 1);
    penSizeCombo->setCurrentIndex(-1);
    drawButton = button(graphics, Control::Draw, QStringLiteral("Draw"));
    eraseButton = button(graphics, Control::Erase, QStringLiteral("Erase"));
    // Exactly one shows pressed: what the left button does now (see
    // showPenMode; a button group would take the other out of the Tab order).
    drawButton->setCheckable(true);
    eraseButton->setCheckable(true);
    drawButton->setChecked(true);
    savePictureButton = button(graphics, Control::SavePicture, QStringLiteral("Save"));
    loadPictureButton = button(graphics, Control::LoadPicture, QStringLiteral("Load"));
    clearCanvasButton = button(graphics, Control::ClearCanvas, QStringLiteral("Clear"));
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
                    clearCanvasButton},
                   {}, picture_.heldReason());
    else
        hold_.release();
}

void PicturePanel::setPenMode(QRgb colour)
{
    picture_.setDrawColour(colour);
    // A click on the pressed one leaves it pressed.
    drawButton->setChecked(colour == Canvas::Black);
    eraseButton->setChecked(colour != Canvas::Black);
}

void PicturePanel::startStroke(Qt::MouseButton, Qt::KeyboardModifiers, double x, double y)
{
    strokeBefore_ = picture_.canvas().pixels();
    positionLabel->show();
    Canvas drawn = picture_.canvas(); // with its pen and its shown rows
    drawn.plotDot(x, y);
    picture_.showPixels(drawn.pixels());
    penX_ = x;
    penY_ = y;
    penDown_ = true;
}

void PicturePanel::continueStroke(Qt::MouseButtons, Qt::KeyboardModifiers, double x, double y)
{
    if (!penDown_)
        return;
    Canvas drawn = picture_.canvas();
    plotStroke(drawn, penX_, penY_, x, y);
    penX_ = x;
    penY_ = y;
    positionLabel->setText(positionCaption(x, y));
    picture_.showPixels(drawn.pixels());
}

void PicturePanel::endStroke()
{
    positionLabel->hide();
    if (penDown_)
        picture_.applyEdit(strokeBefore_, picture_.canvas().pixels(), QStringLiteral("Stroke"));
    penDown_ = false;
}

void PicturePanel::toggleDisplayHeight()
{
    const DisplayHeight next = toggledDisplayHeight(picture_.isHalfHeight(), canvasFullHeight_, 64);
    canvasView->setHeightTwips(next.outerHeightTwips);
    canvasView->setScaleHeight(next.scaleHeight);
    displaySizeButton->setText(next.caption);
    picture_.setHalfHeight(next.halfHeight);
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
    if (!picture_.load(fileName))
        prompts_.message(QStringLiteral("File Not Found, make sure the path is correct."));
}

void PicturePanel::save()
{
    const QString name = prompts_.ask(FileNamePrompt, PictureFileTitle, QStringLiteral("test.bmp"));
    if (name.isEmpty())
        return;
    const QString failure = picture_.save(name);
    if (!failure.isEmpty())
        prompts_.message(SaveErrorPrefix + failure);
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
    const std::optional<ImportDialog::Imported> imported = ImportDialog::run(
        canvasView->window(), prompts_, name, picture_.isHalfHeight(), &picture_.importOptions(), recent.list());
    if (!imported)
        return; // cancelled, or the file could not be read (the dialog said why)
    recent.add(imported->fileName);
    picture_.place(imported->picture, QStringLiteral("Import"));
}

void PicturePanel::makeEditActions()
{
    // The keys are the window's (undoPictureByKey); the menu only names them.
    undoAction_ = named(new QAction(this), "mnuUndo");
    redoAction_ = named(new QAction(this), "mnuRedo");
    connect(undoAction_, &QAction::triggered, &picture_, &PictureDocument::undo);
    connect(redoAction_, &QAction::triggered, &picture_, &PictureDocument::redo);
    // "Undo Clear", or "Undo" alone when there is nothing to undo.
    auto caption = [](const QString &verb, const QString &what, const QString &key) {
        return (what.isEmpty() ? verb : verb + QLatin1Char(' ') + what) + QLatin1Char('\t') + key;
    };
    auto name = [this, caption] {
        undoAction_->setText(caption(QStringLiteral("&Undo"), picture_.undoText(), QStringLiteral("Ctrl+Z")));
        redoAction_->setText(caption(QStringLiteral("&Redo"), picture_.redoText(), QStringLiteral("Ctrl+Y")));
        undoAction_->setEnabled(!picture_.undoText().isEmpty());
        redoAction_->setEnabled(!picture_.redoText().isEmpty());
    };
    connect(&picture_, &PictureDocument::historyChanged, this, name);
    name();
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
        picture_.place(*read.picture, QStringLiteral("Recover Picture"));
    else
        prompts_.message(QStringLiteral("The picture kept %1 cannot be recovered: %2.\n%3")
                             .arg(entries.at(chosen).caption, read.failure, kept.at(chosen).path));
}
