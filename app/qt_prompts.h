#pragma once

#include "app/prompts.h"

class QWidget;

// The dialogs as the user sees them: message boxes titled with the
// application title and without an icon, the input box, the file dialog.
class QtPrompts : public Prompts
{
public:
    explicit QtPrompts(QWidget *parent = nullptr) : parent_(parent) {}
    void setParent(QWidget *parent) { parent_ = parent; }

    void message(const QString &text) override;
    QString ask(const QString &prompt, const QString &title, const QString &defaultText) override;
    bool confirm(const QString &text) override;
    QString openFileName(const QString &title, const QString &filter = QString()) override;
    int choose(const QString &title, const QString &prompt, const QStringList &entries) override;
    int choosePicture(const QString &title, const QString &prompt, const QList<PictureEntry> &entries) override;
    void beep() override;
    std::unique_ptr<Prompts> over(QWidget *window) override { return std::make_unique<QtPrompts>(window); }

private:
    QWidget *parent_;
};
