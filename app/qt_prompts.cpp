#include "app/qt_prompts.h"

#include "app/app_title.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

void QtPrompts::message(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, applicationTitle, text, QMessageBox::Ok, parent_);
    box.exec();
}

QString QtPrompts::ask(const QString &prompt, const QString &title, const QString &defaultText)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(parent_, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : QString();
}

bool QtPrompts::confirm(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, applicationTitle, text, QMessageBox::Ok | QMessageBox::Cancel, parent_);
    return box.exec() == QMessageBox::Ok;
}

QString QtPrompts::openFileName(const QString &title)
{
    return QFileDialog::getOpenFileName(parent_, title);
}

void QtPrompts::beep()
{
    QApplication::beep();
}
