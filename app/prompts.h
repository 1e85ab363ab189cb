#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QWidget;

// An entry of a list of pictures: its caption and the picture small, or
// why it cannot be shown.
struct PictureEntry
{
    QString caption;
    QImage thumbnail;
    QString problem;
};

// Every dialog the program shows goes through this interface, so the window
// can be driven by tests that answer the dialogs themselves.
class Prompts
{
public:
    virtual ~Prompts() = default;

    // A message box with an OK button only, titled with the application title.
    virtual void message(const QString &text) = 0;
    // An input box; returns the typed text, or an empty text on Cancel.
    virtual QString ask(const QString &prompt, const QString &title, const QString &defaultText) = 0;
    // A message box with OK and Cancel; true on OK.
    virtual bool confirm(const QString &text) = 0;
    // A file-open dialog, with a file-type filter such as "Pictures (*.png
    // *.bmp)" or none; empty on Cancel.
    virtual QString openFileName(const QString &title, const QString &filter = QString()) = 0;
    // A list to choose one entry from; its index, or -1 on Cancel.
    virtual int choose(const QString &title, const QString &prompt, const QStringList &entries) = 0;
    // The same for pictures, each shown small beside its caption.
    virtual int choosePicture(const QString &title, const QString &prompt, const QList<PictureEntry> &entries) = 0;
    virtual void beep() = 0;
    // The same dialogs over another of the program's windows, so that they
    // do not bring the main window up; nothing where these are not shown
    // over a window (a script's answers), and these serve as they are.
    virtual std::unique_ptr<Prompts> over(QWidget *) { return nullptr; }
};

// The input box that asks for a file, and the start of a failed save's message.
inline const QString FileNamePrompt = QStringLiteral("Enter File Name and Path");
inline const QString SaveErrorPrefix = QStringLiteral("File Save Error - ");
