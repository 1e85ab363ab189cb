#include "app/file_name_completion.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>

namespace {
// Relative names are completed in the current folder, where the program
// reads and writes them, and stay relative.
class FileNameCompleter : public QCompleter
{
public:
    using QCompleter::QCompleter;

    QStringList splitPath(const QString &path) const override
    {
        return QCompleter::splitPath(isRelative(path) ? QDir::current().absoluteFilePath(path) : path);
    }

    QString pathFromIndex(const QModelIndex &index) const override
    {
        const QString path = QCompleter::pathFromIndex(index);
        return isRelative(completionPrefix()) ? QDir::current().relativeFilePath(path) : path;
    }

private:
    static bool isRelative(const QString &path) { return !path.isEmpty() && QDir::isRelativePath(path); }
};
} // namespace

void completeFileNames(QLineEdit *edit)
{
    auto *completer = new FileNameCompleter(edit);
    auto *files = new QFileSystemModel(completer);
    files->setOption(QFileSystemModel::DontWatchForChanges); // the box is open for moments
    files->setRootPath(QString());
    completer->setModel(files);
#ifdef Q_OS_WIN
    completer->setCaseSensitivity(Qt::CaseInsensitive);
#else
    completer->setCaseSensitivity(Qt::CaseSensitive);
#endif
    edit->setCompleter(completer);
    // The completer reads only the folders it has been shown, and offers
    // again only when a whole folder's names are in. A folder's names come
    // in batches after the model reports it read, and the folder under a
    // big one may never be asked for, so nothing would be offered until the
    // next key. The typed name's folder is read here, and the offer made
    // again as names arrive, unless the person has taken an offer since (the
    // text is no longer what was typed).
    QObject::connect(edit, &QLineEdit::textEdited, completer, [files](const QString &text) {
        const QModelIndex folder = files->index(QFileInfo(QDir::current().absoluteFilePath(text)).path());
        if (folder.isValid() && files->canFetchMore(folder))
            files->fetchMore(folder);
    });
    QObject::connect(files, &QAbstractItemModel::rowsInserted, completer, [edit, completer] {
        if (edit->hasFocus() && !completer->popup()->isVisible() && !edit->text().isEmpty() &&
            completer->completionPrefix() == edit->text())
            completer->complete();
    });
}
