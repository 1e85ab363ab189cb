#include "app/qt_prompts.h"

#include "app/app_title.h"
#include "app/file_name_completion.h"
#include "app/picture_choice_dialog.h"
#include "text/text_rules.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>

namespace {

// Under a window manager a box as narrow as a one-word message cuts its
// title to "V...": room for the title, the icon and the title-bar buttons.
constexpr int TitleBarExtras = 160;
constexpr int MinimumBoxWidth = 240;

int showBox(QWidget *parent, const QString &text, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(QMessageBox::NoIcon, applicationTitle, oneBreakPerLine(text), buttons, parent);
    box.setObjectName(QStringLiteral("messageBox"));
    const int width = qMax(MinimumBoxWidth, box.fontMetrics().horizontalAdvance(applicationTitle) + TitleBarExtras);
    // A message box sizes itself; a spacer in its grid is the way to widen it.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    return box.exec();
}

} // namespace

void QtPrompts::message(const QString &text)
{
    showBox(parent_, text, QMessageBox::Ok);
}

QString QtPrompts::ask(const QString &prompt, const QString &title, const QString &defaultText)
{
    QInputDialog box(parent_);
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(defaultText);
    if (prompt == FileNamePrompt) {
        if (auto *edit = box.findChild<QLineEdit *>())
            completeFileNames(edit);
    }
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}

bool QtPrompts::confirm(const QString &text)
{
    return showBox(parent_, text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

QString QtPrompts::openFileName(const QString &title, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent_, title, QString(), filter);
}

int QtPrompts::choose(const QString &title, const QString &prompt, const QStringList &entries)
{
    bool ok = false;
    const QString chosen = QInputDialog::getItem(parent_, title, prompt, entries, 0, false, &ok);
    return ok ? static_cast<int>(entries.indexOf(chosen)) : -1;
}

int QtPrompts::choosePicture(const QString &title, const QString &prompt, const QList<PictureEntry> &entries)
{
    return PictureChoiceDialog::choose(parent_, title, prompt, entries);
}

void QtPrompts::beep()
{
    QApplication::beep();
}
