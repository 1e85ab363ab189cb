#include "app/lcd_view.h"

#include "app/app_icon.h"
#include "app/lcd_canvas.h"
#include "app/lcd_view_geometry.h"
#include "app/picture_document.h"
#include "app/tool_tips.h"
#include "app/undo_keys.h"
#include "app/window_look.h"
#include "canvas/drawing.h"
#include "canvas/lcd_text.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

QPointer<LcdView> LcdView::instance_;

namespace {
struct ToolEntry
{
    LcdTool tool;
    const char *caption;
    Qt::Key key;
};
// In the order of the tool buttons, lcdTool_0 to lcdTool_6.
constexpr ToolEntry Tools[] = {
    {LcdTool::Pen, "Pen", Qt::Key_P},
    {LcdTool::Line, "Line", Qt::Key_L},
    {LcdTool::Rectangle, "Rectangle", Qt::Key_R},
    {LcdTool::FilledRectangle, "Filled", Qt::Key_F},
    {LcdTool::Ellipse, "Ellipse", Qt::Key_E},
    {LcdTool::Fill, "Fill", Qt::Key_B},
    {LcdTool::Text, "Text", Qt::Key_T},
};

// One notch of a mouse wheel.
constexpr int WheelNotch = 120;
// Long font names are cut rather than widen the view.
constexpr int FontNameLetters = 10;

QHBoxLayout *row(QWidget *parent)
{
    auto *layout = new QHBoxLayout(parent);
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
}
} // namespace

LcdView::LcdView(PictureDocument &picture, QWidget *parent) : QWidget(parent, Qt::Window), picture_(picture)
{
    setObjectName(QStringLiteral("frmLcdView"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("LCD View"));
    setWindowIcon(applicationIcon());

    canvas = named(new LcdCanvas, "lcdCanvas");
    scroll = new QScrollArea;
    scroll->setWidget(canvas);
    scroll->setAlignment(Qt::AlignCenter);
    // Ctrl+wheel zooms wherever the pointer is over the picture's area.
    scroll->viewport()->installEventFilter(this);
    positionLabel = named(new QLabel, "lcdPosition");
    heldNote = named(new QLabel(QStringLiteral("Editing waits for the send to end")), "lcdHeldNote");
    heldNote->setStyleSheet(QStringLiteral("font-weight: bold"));
    heldNote->hide();
    auto *status = new QWidget;
    QHBoxLayout *statusRow = row(status);
    statusRow->addWidget(positionLabel, 1);
    statusRow->addWidget(heldNote);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildToolRow());
    layout->addWidget(buildViewRow());
    layout->addWidget(buildTextRow());
    layout->addWidget(scroll, 1);
    layout->addWidget(status);
    setToolTips(*this);

    connectControls();
    place();
    renderText();
    refresh();
    hold(picture_.isHeld());
}

QWidget *LcdView::buildToolRow()
{
    auto *tools = new QWidget;
    QHBoxLayout *layout = row(tools);
    auto *group = new QButtonGroup(this);
    for (const ToolEntry &entry : Tools) {
        const QString name = QStringLiteral("lcdTool_%1").arg(toolButtons.size());
        auto *button = new QToolButton;
        button->setObjectName(name);
        button->setText(QString::fromLatin1(entry.caption));
        button->setCheckable(true);
        button->setToolTip(QStringLiteral("%1 (%2)").arg(button->text(), QKeySequence(entry.key).toString()));
        group->addButton(button);
        layout->addWidget(button);
        toolButtons << button;
        connect(button, &QToolButton::clicked, this, [this, tool = entry.tool] { chooseTool(tool); });
        connect(new QShortcut(QKeySequence(entry.key), this), &QShortcut::activated, this,
                [this, tool = entry.tool] { chooseTool(tool); });
    }
    toolButtons.first()->setChecked(true);
    layout->addStretch();
    return tools;
}

QWidget *LcdView::buildViewRow()
{
    // A row of its own, so the view is narrow enough to stand beside the
    // main window on a small screen.
    auto *view = new QWidget;
    QHBoxLayout *layout = row(view);
    penSizeCombo = named(new QComboBox, "lcdPenSize");
    penSizeCombo->addItems({QStringLiteral("x1"), QStringLiteral("x2"), QStringLiteral("x3"), QStringLiteral("x4"),
                            QStringLiteral("x5"), QStringLiteral("x10")});
    penSizeCombo->setCurrentIndex(picture_.penSizeIndex());
    zoomBox = named(new QSpinBox, "lcdZoom");
    zoomBox->setRange(LcdCanvas::MinZoom, LcdCanvas::MaxZoom);
    zoomBox->setSuffix(QStringLiteral("x"));
    gridBox = named(new QCheckBox(QStringLiteral("&Grid")), "lcdGrid");
    gridBox->setChecked(true);
    lookCombo = named(new QComboBox, "lcdLook");
    lookCombo->addItems({QStringLiteral("LCD (dark on yellow-green)"), QStringLiteral("Paper (black on white)")});
    layout->addWidget(penSizeCombo);
    layout->addStretch();
    layout->addWidget(new QLabel(QStringLiteral("Zoom")));
    layout->addWidget(zoomBox);
    layout->addWidget(gridBox);
    layout->addWidget(lookCombo);
    return view;
}

QWidget *LcdView::buildTextRow()
{
    auto *text = new QWidget;
    QHBoxLayout *layout = row(text);
    textBox = named(new QLineEdit, "lcdText");
    textBox->setMaxLength(MaxLcdTextLength);
    textBox->setPlaceholderText(QStringLiteral("Text to place"));
    fontCombo = named(new QComboBox, "lcdFont");
    fontCombo->addItems(lcdFontNames());
    fontCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    fontCombo->setMinimumContentsLength(FontNameLetters);
    fontSizeBox = named(new QSpinBox, "lcdFontSize");
    fontSizeBox->setRange(MinLcdTextSize, MaxLcdTextSize);
    fontSizeBox->setValue(LcdTextStyle().sizePx);
    fontSizeBox->setSuffix(QStringLiteral(" px"));
    boldBox = named(new QCheckBox(QStringLiteral("&Bold")), "lcdBold");
    layout->addWidget(new QLabel(QStringLiteral("Text")));
    layout->addWidget(textBox, 1);
    layout->addWidget(fontCombo);
    layout->addWidget(fontSizeBox);
    layout->addWidget(boldBox);
    return text;
}

void LcdView::connectControls()
{
    connect(&picture_, &PictureDocument::pictureChanged, this, &LcdView::refresh);
    connect(&picture_, &PictureDocument::heldChanged, this, &LcdView::hold);
    connect(&picture_, &PictureDocument::penSizeChosen, penSizeCombo, &QComboBox::setCurrentIndex);
    connect(penSizeCombo, &QComboBox::activated, &picture_, &PictureDocument::choosePenSize);
    connect(zoomBox, &QSpinBox::valueChanged, this,
            [this](int zoom) { zoomAround(zoom, QRectF(scroll->viewport()->rect()).center()); });
    // + and - zoom around the pointer where it is over the picture, else
    // around the middle; Ctrl with them too, as elsewhere.
    const auto zoomKeys = [this](const QList<QKeySequence> &keys, int step) {
        for (const QKeySequence &key : keys)
            connect(new QShortcut(key, this), &QShortcut::activated, this, [this, step] {
                const QPoint pointer = scroll->viewport()->mapFromGlobal(QCursor::pos());
                const QRect visible = scroll->viewport()->rect();
                zoomAround(canvas->zoom() + step, visible.contains(pointer) ? QPointF(pointer) : visible.center());
            });
    };
    zoomKeys({QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal), QKeySequence::ZoomIn,
              QKeySequence(Qt::CTRL | Qt::Key_Equal)},
             1);
    zoomKeys({QKeySequence(Qt::Key_Minus), QKeySequence::ZoomOut}, -1);
    connect(gridBox, &QCheckBox::toggled, canvas, &LcdCanvas::setGrid);
    connect(lookCombo, &QComboBox::currentIndexChanged, this,
            [this](int index) { canvas->setLook(index == 1 ? LcdCanvas::Look::Paper : LcdCanvas::Look::Lcd); });
    connect(textBox, &QLineEdit::textChanged, this, &LcdView::renderText);
    connect(textBox, &QLineEdit::returnPressed, this, [this] { keep(editing_.commitText(picture_.canvas())); });
    connect(fontCombo, &QComboBox::currentIndexChanged, this, &LcdView::renderText);
    connect(fontSizeBox, &QSpinBox::valueChanged, this, &LcdView::renderText);
    connect(boldBox, &QCheckBox::toggled, this, &LcdView::renderText);

    connect(canvas, &LcdCanvas::pressed, this, &LcdView::press);
    connect(canvas, &LcdCanvas::moved, this, &LcdView::move);
    connect(canvas, &LcdCanvas::released, this, &LcdView::release);
    connect(canvas, &LcdCanvas::left, this, [this] {
        editing_.leave();
        positionLabel->clear();
        refresh();
    });
    connect(canvas, &LcdCanvas::arrowPressed, this, [this](QPoint step) {
        if (editing_.nudge(step))
            refresh();
    });
    connect(canvas, &LcdCanvas::enterPressed, this, [this] { keep(editing_.commitText(picture_.canvas())); });
    connect(canvas, &LcdCanvas::escapePressed, this, [this] {
        // A pen stroke is on the picture already; it ends with the release.
        if (!(editing_.isDragging() && editing_.tool() == LcdTool::Pen))
            editing_.cancel();
        refresh();
    });

    // Undo and redo of the one picture history, as in the main window.
    undoAction = new QAction(this);
    undoAction->setShortcut(QKeySequence::Undo);
    redoAction = new QAction(this);
    redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    addActions({undoAction, redoAction});
    connect(undoAction, &QAction::triggered, this, [this] { undoPictureByKey(picture_); });
    connect(redoAction, &QAction::triggered, this, [this] { redoPictureByKey(picture_); });
}

void LcdView::place()
{
    // What the rows, margins and frames add to the dots, measured at the
    // smallest zoom; the window's frame is taken to be the main window's.
    canvas->setZoom(LcdCanvas::MinZoom);
    layout()->activate();
    const QWidget *main = parentWidget();
    const QSize frame = main ? main->frameGeometry().size() - main->size() : QSize(0, 0);
    const QMargins margins = layout()->contentsMargins();
    const int scrollFrame = 2 * scroll->frameWidth();
    LcdViewRoom room;
    room.dots = canvas->size() / LcdCanvas::MinZoom;
    room.around = frame + QSize(margins.left() + margins.right() + scrollFrame,
                                sizeHint().height() - scroll->sizeHint().height() + scrollFrame);
    room.minimum = frame + minimumSizeHint();
    room.minZoom = LcdCanvas::MinZoom;
    room.maxZoom = LcdCanvas::MaxZoom;
    const QScreen *screen = main ? main->screen() : QGuiApplication::primaryScreen();
    room.available = screen ? screen->availableGeometry() : QRect(QPoint(), room.minimum);
    room.mainFrame = main ? main->frameGeometry() : QRect();
    const LcdViewPlace placed = placeLcdView(room);
    zoomBox->setValue(placed.zoom);
    canvas->setZoom(placed.zoom);
    resize(placed.frame.size() - frame);
    QWidget::move(placed.frame.topLeft());
}

bool LcdView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == scroll->viewport() && event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            // Fine-grained wheels send parts of a notch: they add up.
            wheelTurned_ += wheel->angleDelta().y();
            const int notches = wheelTurned_ / WheelNotch;
            wheelTurned_ -= notches * WheelNotch;
            if (notches != 0)
                zoomAround(canvas->zoom() + notches, wheel->position());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void LcdView::zoomAround(int zoom, QPointF pointer)
{
    zoom = qBound(LcdCanvas::MinZoom, zoom, LcdCanvas::MaxZoom);
    const int from = canvas->zoom();
    if (zoom == from)
        return;
    const QPoint scrolled(scroll->horizontalScrollBar()->value(), scroll->verticalScrollBar()->value());
    const QPoint to =
        scrollKeepingDot(canvas->size() / from, from, zoom, scroll->viewport()->size(), scrolled, pointer);
    canvas->setZoom(zoom);
    {
        const QSignalBlocker blocker(zoomBox);
        zoomBox->setValue(zoom);
    }
    scroll->horizontalScrollBar()->setValue(to.x());
    scroll->verticalScrollBar()->setValue(to.y());
}

void LcdView::commitPlacedText()
{
    if (instance_)
        instance_->keep(instance_->editing_.commitText(instance_->picture_.canvas()));
}

void LcdView::closeEvent(QCloseEvent *event)
{
    keep(editing_.commitText(picture_.canvas()));
    QWidget::closeEvent(event);
}

LcdView *LcdView::showSingle(QWidget *parent, PictureDocument &picture)
{
    if (!instance_)
        instance_ = new LcdView(picture, parent);
    instance_->show();
    instance_->raise();
    instance_->activateWindow();
    return instance_;
}

void LcdView::chooseTool(LcdTool tool)
{
    // A shape or stroke under way is finished with its own tool.
    if (editing_.isDragging()) {
        toolButtons.at(static_cast<int>(editing_.tool()))->setChecked(true);
        return;
    }
    toolButtons.at(static_cast<int>(tool))->setChecked(true);
    keep(editing_.setTool(picture_.canvas(), tool));
}

void LcdView::renderText()
{
    const LcdTextStyle style{fontCombo->currentText(), fontSizeBox->value(), boldBox->isChecked()};
    editing_.setTextDots(renderLcdText(textBox->text(), style));
    refresh();
}

void LcdView::refresh()
{
    const Canvas &picture = picture_.canvas();
    const std::optional<Canvas> preview = editing_.preview(picture);
    canvas->showPicture(preview ? *preview : picture);
}

void LcdView::press(QPoint dot, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return;
    if (editing_.isDragging())
        return; // the other button during a shape changes nothing
    keep(editing_.press(picture_.canvas(), dot, button == Qt::RightButton, modifiers & Qt::ShiftModifier));
    if (editing_.tool() == LcdTool::Pen && editing_.isDragging())
        picture_.showPixels(editing_.preview(picture_.canvas())->pixels());
    refresh();
}

void LcdView::move(QPoint dot, Qt::KeyboardModifiers modifiers)
{
    showPosition(dot);
    editing_.moveTo(dot, modifiers & Qt::ShiftModifier);
    // The pen draws on the picture as it goes; shapes and text only show.
    if (editing_.tool() == LcdTool::Pen && editing_.isDragging())
        picture_.showPixels(editing_.preview(picture_.canvas())->pixels());
    else
        refresh();
}

void LcdView::release()
{
    keep(editing_.release(picture_.canvas()));
}

void LcdView::keep(const std::optional<LcdEdit> &edit)
{
    if (edit)
        picture_.applyEdit(edit->before, edit->after, edit->what);
    refresh();
}

void LcdView::showPosition(QPoint dot)
{
    QString text = positionCaption(dot.x(), dot.y());
    if (dot.x() >= 0 && dot.x() < Canvas::Width && dot.y() >= 0 && dot.y() < picture_.canvas().shownRows())
        text += QStringLiteral("   Page %1, Column %2").arg(dot.y() / 8).arg(dot.x());
    positionLabel->setText(text);
}

void LcdView::hold(bool held)
{
    if (held) {
        // A text placed before the send is the user's: it stays, and the
        // picture takes no edit while the send runs.
        keep(editing_.commitText(picture_.canvas()));
        editing_.cancel();
        hold_.hold({canvas, penSizeCombo}, {undoAction, redoAction}, picture_.heldReason());
    } else {
        hold_.release();
    }
    heldNote->setToolTip(held ? picture_.heldReason() : QString());
    heldNote->setVisible(held);
    refresh();
}
