// The menu bar: Exit, Open (a text file into the transmit window), About
// and Help.

#include "app/main_window.h"

#include "app/about_box.h"
#include "app/help_window.h"
#include "app/prompts.h"
#include "serial/field_reader.h"
#include "serial/port_layer.h"
#include "serial/receive_display.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

void MainWindow::exitProgram()
{
    if (port_.isOpen()) {
        try {
            port_.setOpen(false);
        } catch (const std::exception &) {
            // Ending anyway: there is nothing left to close.
        }
    }
    QCoreApplication::exit(0);
}

void MainWindow::openFieldFile()
{
    const QString name = prompts_.openFileName(QStringLiteral("LCD File to Open"));
    if (name.isEmpty())
        return; // cancelled
    const FieldFileResult read = readFieldFile(name);
    // Appending sends nothing: only typed keys go to the PIC.
    QTextCursor end(transmitText->document());
    end.movePosition(QTextCursor::End);
    end.insertText(displayableText(read.text));
    if (!read.error.isEmpty())
        prompts_.message(fileOpenErrorPrefix + read.error);
}

void MainWindow::showAbout()
{
    AboutBox::showSingle(this, prompts_);
}

void MainWindow::showHelp()
{
    HelpWindow::showSingle(this);
}
