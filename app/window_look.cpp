#include "app/window_look.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

void setColours(QWidget *widget, const QColor &background, const QColor &text)
{
    QPalette palette = widget->palette();
    if (qobject_cast<QLineEdit *>(widget) || qobject_cast<QPlainTextEdit *>(widget)) {
        palette.setColor(QPalette::Base, background);
        palette.setColor(QPalette::Text, text);
    } else if (qobject_cast<QPushButton *>(widget)) {
        palette.setColor(QPalette::Button, background);
        palette.setColor(QPalette::ButtonText, text);
    } else {
        palette.setColor(QPalette::Window, background);
        palette.setColor(QPalette::WindowText, text);
        // Option buttons and check boxes sit on their grey group already.
        if (!qobject_cast<QAbstractButton *>(widget))
            widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);
}
