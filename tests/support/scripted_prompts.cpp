#include "support/scripted_prompts.h"

void ScriptedPrompts::message(const QString &text)
{
    messages << text;
}

QString ScriptedPrompts::ask(const QString &prompt, const QString &title, const QString &defaultText)
{
    asked << (title + QLatin1Char('|') + prompt + QLatin1Char('|') + defaultText);
    return answers.isEmpty() ? defaultText : answers.dequeue();
}

bool ScriptedPrompts::confirm(const QString &text)
{
    confirmations << text;
    return confirmAnswers.isEmpty() ? true : confirmAnswers.dequeue();
}

QString ScriptedPrompts::openFileName(const QString &title, const QString &filter)
{
    fileDialogs << title;
    fileFilters << filter;
    return fileNames.isEmpty() ? QString() : fileNames.dequeue();
}

int ScriptedPrompts::choose(const QString &, const QString &, const QStringList &entries)
{
    choices << entries;
    return chosen.isEmpty() ? -1 : chosen.dequeue();
}

int ScriptedPrompts::choosePicture(const QString &, const QString &, const QList<PictureEntry> &entries)
{
    pictureChoices << entries;
    return chosen.isEmpty() ? -1 : chosen.dequeue();
}

void ScriptedPrompts::beep()
{
    ++beeps;
}
