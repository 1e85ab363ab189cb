#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

class QAbstractButton;

// Keeps the keyboard's focus where a person expects it in one window:
// - a control a command disables hands the focus to the next enabled
//   control in the Tab order, once the command is done (so a command that
//   disables its own button and enables the next step's, as Reformat For
//   Output does for Send to LCD, leaves the focus on that next step);
// - a command whose next step is another button moves the focus there when
//   it ran from the keyboard's focus and that button is enabled.
class FocusKeeper : public QObject
{
    Q_OBJECT
public:
    FocusKeeper(QWidget &window, QList<QWidget *> tabOrder);
    void addNextStep(QAbstractButton *command, QWidget *nextStep);

private:
    void onFocusChanged(QWidget *old, QWidget *now);
    void moveOnFrom(QWidget *disabled);

    QWidget &window_;
    QList<QWidget *> tabOrder_;
};

// A 2-pixel dark outline, with a light line inside it, around the control
// with the focus: the style's own sign is faint, and on a coloured button
// (the orange Open/Close) next to invisible. It lies over the control,
// takes no input, and follows the focus within the window.
class FocusRing : public QWidget
{
    Q_OBJECT
public:
    explicit FocusRing(QWidget &window);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow(QWidget *focused);
    void place();

    QWidget &window_;
    QPointer<QWidget> target_;
};

// Both for the main window, its Tab order and next steps from its table of
// controls: Convert's next step is Reformat For Output.
void keepKeyboardFocus(QWidget &mainWindow);
