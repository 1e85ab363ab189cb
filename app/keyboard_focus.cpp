#include "app/keyboard_focus.h"

#include "app/window_controls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QTimer>

FocusKeeper::FocusKeeper(QWidget &window, QList<QWidget *> tabOrder)
    : QObject(&window), window_(window), tabOrder_(std::move(tabOrder))
{
    connect(qApp, &QApplication::focusChanged, this, &FocusKeeper::onFocusChanged);
}

void FocusKeeper::onFocusChanged(QWidget *old, QWidget *now)
{
    Q_UNUSED(now)
    // Qt itself moves the focus off a control as it is disabled, to the next
    // one enabled at that moment; the command may enable a later step after.
    if (!old || old->isEnabled() || !tabOrder_.contains(old))
        return;
    QTimer::singleShot(0, this, [this, disabled = QPointer<QWidget>(old), landed = QPointer<QWidget>(now)] {
        // Whatever the command put the focus on itself (Stop during a send)
        // stays.
        if (disabled && QApplication::focusWidget() == landed.data())
            moveOnFrom(disabled);
    });
}

void FocusKeeper::moveOnFrom(QWidget *disabled)
{
    if (QApplication::activeWindow() != &window_)
        return;
    const qsizetype from = tabOrder_.indexOf(disabled);
    for (qsizetype step = 1; step <= tabOrder_.size(); ++step) {
        QWidget *next = tabOrder_.at((from + step) % tabOrder_.size());
        if (next->isEnabled() && next->isVisible() && (next->focusPolicy() & Qt::TabFocus)) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void FocusKeeper::addNextStep(QAbstractButton *command, QWidget *nextStep)
{
    // Connected after the command's own slot, so it runs once the command
    // is done.
    connect(command, &QAbstractButton::clicked, this, [command, nextStep] {
        if (command->hasFocus() && nextStep->isEnabled() && nextStep->isVisible())
            nextStep->setFocus(Qt::TabFocusReason);
    });
}

FocusRing::FocusRing(QWidget &window) : QWidget(&window), window_(window)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { follow(now); });
}

void FocusRing::follow(QWidget *focused)
{
    if (target_)
        target_->removeEventFilter(this);
    target_ = nullptr;
    if (!focused || focused == &window_ || focused->window() != &window_ || !focused->parentWidget()) {
        hide();
        return;
    }
    target_ = focused;
    target_->installEventFilter(this); // its moves, resizes and hiding
    setParent(focused->parentWidget());
    place();
}

namespace {
constexpr int RingWidth = 2; // of the dark line
} // namespace

void FocusRing::place()
{
    if (!target_ || !target_->isVisible()) {
        hide();
        return;
    }
    // Around the control, not on it: a caption that fills its control (the
    // bold "Com1") stays whole. The dark line lies in the gap between
    // controls, the light one on the control's edge.
    setGeometry(target_->geometry().adjusted(-RingWidth, -RingWidth, RingWidth, RingWidth));
    show();
    raise();
}

bool FocusRing::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == target_) {
        const QEvent::Type type = event->type();
        if (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show || type == QEvent::Hide)
            place();
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // Dark outside, light inside: one of the two stands out on any colour.
    const QRectF outer(rect());
    painter.setPen(QPen(Qt::black, RingWidth));
    painter.drawRect(outer.adjusted(1, 1, -1, -1));
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(outer.adjusted(2.5, 2.5, -2.5, -2.5));
}

void keepKeyboardFocus(QWidget &mainWindow)
{
    const WindowControls controls(mainWindow);
    QList<QWidget *> order;
    for (Control control : tabOrder())
        order.append(controls.widget(control));
    auto *keeper = new FocusKeeper(mainWindow, order);
    keeper->addNextStep(qobject_cast<QAbstractButton *>(controls.widget(Control::Convert)),
                        controls.widget(Control::Reformat));
    new FocusRing(mainWindow);
}
