#pragma once

#include <QListWidget>

class QToolButton;

// A list box one line high: only the chosen entry shows. Two arrow buttons
// beside it, the mouse wheel and the arrow keys step through the entries,
// and every step chooses the entry it shows, as a click would; an entry
// chosen by code is scrolled into view. So what shows is always what is
// in effect.
class OneLineList : public QListWidget
{
    Q_OBJECT
public:
    explicit OneLineList(QWidget *parent = nullptr);

    // Adds entries at the end, each exactly one line high.
    void addEntries(const QStringList &entries);

protected:
    void resizeEvent(QResizeEvent *event) override;
    // One entry per notch of the wheel, not a page of three.
    void wheelEvent(QWheelEvent *event) override;

private:
    void step(int rows);
    int rowHeight() const;

    QToolButton *upArrow_;
    QToolButton *downArrow_;
    int wheelAngle_ = 0; // eighths of a degree not yet turned into a step
};
