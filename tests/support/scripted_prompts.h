#pragma once

#include "app/prompts.h"

#include <QQueue>
#include <QStringList>

// Answers dialogs from a script and records what was shown.
class ScriptedPrompts : public Prompts
{
public:
    void message(const QString &text) override;
    QString ask(const QString &prompt, const QString &title, const QString &defaultText) override;
    bool confirm(const QString &text) override;
    QString openFileName(const QString &title, const QString &filter = QString()) override;
    int choose(const QString &title, const QString &prompt, const QStringList &entries) override;
    int choosePicture(const QString &title, const QString &prompt, const QList<PictureEntry> &entries) override;
    void beep() override;

    QStringList messages;
    QStringList asked; // "title|prompt|default" per input box
    QStringList confirmations;
    QStringList fileDialogs;
    QStringList fileFilters; // the file-type filter of each file dialog
    QQueue<QString> answers; // answers to input boxes; the default when empty
    QQueue<bool> confirmAnswers;
    QQueue<QString> fileNames;
    QList<QStringList> choices; // the entries of each list shown
    QList<QList<PictureEntry>> pictureChoices;
    QQueue<int> chosen; // the entry taken from each; Cancel when empty
    int beeps = 0;
};
